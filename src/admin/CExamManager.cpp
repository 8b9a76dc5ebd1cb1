#include "admin/CExamManager.h"

#include "admin/CImportExaminee.h"
#include "app/ListRows.h"
#include "admin/Roster.h"
#include "app/Command.h"
#include "app/DepartmentPostPicker.h"
#include "app/FileDialogs.h"
#include "app/MessageBox.h"
#include "app/Navigation.h"
#include "app/ShellOpen.h"
#include "store/Schema.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTableWidget>

namespace {
constexpr int kQueryName = 1032, kQueryDepartment = 1033, kQueryPost = 1036;
constexpr int kAddDepartment = 1039, kAddPost = 1042, kAddName = 1045;
constexpr int kList = 1031, kIdColumn = 4;
} // namespace

CExamManager::CExamManager(QWidget *parent)
    : ScreenBase(107, KeyFilterMode::All, parent)
{
    openImport = [](QWidget *owner, const QString &path) { return CImportExaminee::run(owner, path); };

    for (int id : {kQueryName, kAddName})
        control<QLineEdit>(id)->setMaxLength(Schema::MaxText);
    list()->setColumnWidth(kIdColumn, 0);
    list()->setColumnHidden(kIdColumn, true);

    m_query = new DepartmentPostPicker(control<QComboBox>(kQueryDepartment), control<QComboBox>(kQueryPost));
    m_add = new DepartmentPostPicker(control<QComboBox>(kAddDepartment), control<QComboBox>(kAddPost));
    m_query->fill();
    m_add->fill();

    onClick(1001, [this] { runCommand(this, [this] { queryRoster(); }); });
    onClick(1017, [this] { clearQuery(); });
    onClick(1007, [this] { runCommand(this, [this] { showAllExaminees(); }); });
    onClick(1015, [this] { list()->setRowCount(0); });
    onClick(1002, [this] { runCommand(this, [this] { addExaminee(); }); });
    onClick(1018, [this] { clearAdd(); });
    onClick(1009, [this] { runCommand(this, [this] { deleteAllExaminees(); }); });
    onClick(1003, [this] { importExaminees(); });
    onClick(1005, [] { ShellOpen::open(QDir::current().absoluteFilePath(QStringLiteral("examinee.xls"))); });
    for (int id : {1020, 1022, 1011, 1013})
        onClick(id, [this, id] { Nav::follow(this, id); });
    connect(list(), &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { runCommand(this, [this, row] { deleteExaminee(row); }); });
}

QTableWidget *CExamManager::list() const
{
    return control<QTableWidget>(kList);
}

void CExamManager::showRows(const QList<RosterPerson> &rows)
{
    QList<QStringList> texts;
    texts.reserve(rows.size());
    int number = 0;
    for (const RosterPerson &p : rows)
        texts << QStringList{QString::number(++number), p.name, p.department, p.post, QString::number(p.id)};
    ListRows::fill(list(), texts);
}

void CExamManager::queryRoster()
{
    QList<RosterPerson> rows;
    switch (Roster::query(text(kQueryName), text(kQueryDepartment), text(kQueryPost), &rows)) {
    case Roster::Query::NoCondition:
        MessageBox::show(this, QStringLiteral("查询条件不能为空！"), Caption::Remind);
        return;
    case Roster::Query::NoMatch:
        MessageBox::show(this, QStringLiteral("没有要查询的考生数据！"), Caption::Remind);
        return;
    case Roster::Query::Found:
        showRows(rows);
        return;
    }
}

void CExamManager::showAllExaminees()
{
    list()->setRowCount(0);
    const QList<RosterPerson> rows = Roster::all();
    if (rows.isEmpty()) {
        MessageBox::show(this, QStringLiteral("考生数据为空！"), Caption::Tip);
        return;
    }
    showRows(rows);
}

void CExamManager::addExaminee()
{
    switch (Roster::add(text(kAddName), text(kAddDepartment), text(kAddPost))) {
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
    QTableWidget *table = list();
    if (row < 0 || row >= table->rowCount())
        return;
    const int id = ListRows::text(table, row, kIdColumn).toInt();
    table->removeRow(row);
    Roster::remove(id);
}

void CExamManager::deleteAllExaminees()
{
    list()->setRowCount(0);
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
        list()->setRowCount(0);
}

void CExamManager::clearQuery()
{
    setText(kQueryName, QString());
    m_query->fill();
}

void CExamManager::clearAdd()
{
    setText(kAddName, QString());
    m_add->fill();
}
