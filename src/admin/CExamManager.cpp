#include "admin/CExamManager.h"

#include "admin/CImportExaminee.h"
#include "admin/Roster.h"
#include "app/Command.h"
#include "app/DepartmentPostPicker.h"
#include "app/FileDialogs.h"
#include "app/MessageBox.h"
#include "app/Navigation.h"
#include "app/ReportModel.h"
#include "app/ShellOpen.h"
#include "store/Schema.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTableView>

#include <numeric>

namespace {
constexpr int kIdColumn = 4;
} // namespace

CExamManager::CExamManager(QWidget *parent)
    : ScreenBase(107, KeyFilterMode::All, parent)
{
    openImport = [](QWidget *owner, const QString &path) { return CImportExaminee::run(owner, path); };

    for (int id : {QueryName, AddName})
        control<QLineEdit>(id)->setMaxLength(Schema::MaxText);
    auto *view = control<QTableView>(List);
    view->setColumnWidth(kIdColumn, 0);
    view->setColumnHidden(kIdColumn, true);

    m_query = new DepartmentPostPicker(control<QComboBox>(QueryDepartment), control<QComboBox>(QueryPost));
    m_add = new DepartmentPostPicker(control<QComboBox>(AddDepartment), control<QComboBox>(AddPost));
    m_query->fill();
    m_add->fill();

    onClick(Query, [this] { runCommand(this, [this] { queryRoster(); }); });
    onClick(ClearQuery, [this] { clearQuery(); });
    onClick(ShowAll, [this] { runCommand(this, [this] { showAllExaminees(); }); });
    onClick(ClearList, [this] { showRows({}); });
    onClick(Add, [this] { runCommand(this, [this] { addExaminee(); }); });
    onClick(ClearAdd, [this] { clearAdd(); });
    onClick(DeleteAll, [this] { runCommand(this, [this] { deleteAllExaminees(); }); });
    onClick(Import, [this] { importExaminees(); });
    onClick(ImportTemplate, [] { ShellOpen::open(QDir::current().absoluteFilePath(QStringLiteral("examinee.xls"))); });
    for (int id : {Exams, Scores, Back, Exit})
        onClick(id, [this, id] { Nav::follow(this, id); });
    connect(view, &QTableView::doubleClicked, this,
            [this](const QModelIndex &at) { runCommand(this, [this, row = at.row()] { deleteExaminee(row); }); });
}

ReportModel *CExamManager::list() const
{
    return ReportModel::of(control<QTableView>(List));
}

void CExamManager::showRows(RosterList people)
{
    list()->clear();
    m_people = std::move(people);
    m_shown.resize(size_t(m_people.size()));
    std::iota(m_shown.begin(), m_shown.end(), 0);
    list()->show(m_people.size(), [this](int r) {
        const int at = m_shown[size_t(r)];
        const RosterPerson p = m_people.at(at);
        return QStringList{QString::number(at + 1), p.name, p.department, p.post, QString::number(p.id)};
    });
}

void CExamManager::queryRoster()
{
    QList<RosterPerson> rows;
    switch (Roster::query(text(QueryName), text(QueryDepartment), text(QueryPost), &rows)) {
    case Roster::Query::NoCondition:
        MessageBox::show(this, QStringLiteral("查询条件不能为空！"), Caption::Remind);
        return;
    case Roster::Query::NoMatch:
        MessageBox::show(this, QStringLiteral("没有要查询的考生数据！"), Caption::Remind);
        return;
    case Roster::Query::Found: {
        RosterList found;
        for (const RosterPerson &p : std::as_const(rows))
            found.append(p);
        showRows(std::move(found));
        return;
    }
    }
}

void CExamManager::showAllExaminees()
{
    showRows({});
    RosterList people = Roster::all();
    if (people.isEmpty()) {
        MessageBox::show(this, QStringLiteral("考生数据为空！"), Caption::Tip);
        return;
    }
    showRows(std::move(people));
}

void CExamManager::addExaminee()
{
    switch (Roster::add(text(AddName), text(AddDepartment), text(AddPost))) {
    case Roster::Add::EmptyField:
        MessageBox::show(this, QStringLiteral("添加数据不能有空格！"), Caption::Remind);
        return;
    case Roster::Add::Semicolon:
        MessageBox::show(this, QStringLiteral("考生姓名中不能含有';'！"), Caption::Tip);
        return;
    case Roster::Add::Exists:
        MessageBox::show(this, QStringLiteral("考生已存在，不能重复添加！"), Caption::Tip);
        return;
    case Roster::Add::Added:
        MessageBox::show(this, QStringLiteral("添加成功!"), Caption::Tip);
        clearAdd();
        return;
    }
}

void CExamManager::deleteExaminee(int row)
{
    if (row < 0 || row >= int(m_shown.size()))
        return;
    const int id = m_people.at(m_shown[size_t(row)]).id;
    list()->removeRow(row, [this, row] { m_shown.erase(m_shown.begin() + row); });
    Roster::remove(id);
}

void CExamManager::deleteAllExaminees()
{
    showRows({});
    if (Roster::count() == 0) {
        MessageBox::show(this, QStringLiteral("考生库已为空！"), Caption::Tip);
        return;
    }
    if (MessageBox::confirm(this, QStringLiteral("您确定要删除系统保存的所有考生码?\n一旦删除将无法恢复！")))
        Roster::removeAll();
}

void CExamManager::importExaminees()
{
    const QString path =
        FileDialogs::openFile(this, QString(), QString(), QStringLiteral("所有文件 (*.*);;Excel (*.xls)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).fileName() != QLatin1String("examinee.xls")) {
        MessageBox::show(this, QStringLiteral("请选择'examinee.xls'文件"), Caption::Tip);
        return;
    }
    if (openImport(this, path) == QDialog::Accepted)
        showRows({});
}

void CExamManager::clearQuery()
{
    setText(QueryName, QString());
    m_query->fill();
}

void CExamManager::clearAdd()
{
    setText(AddName, QString());
    m_add->fill();
}
