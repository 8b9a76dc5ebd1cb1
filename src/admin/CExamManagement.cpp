#include "admin/CExamManagement.h"

#include "admin/CExtendTime.h"
#include "admin/ExamManagement.h"
#include "app/ListRows.h"
#include "app/Command.h"
#include "app/MessageBox.h"
#include "app/Navigation.h"
#include "app/ReportModel.h"
#include "store/Clock.h"

#include <QComboBox>
#include <QListView>
#include <QSignalBlocker>
#include <QStringListModel>
#include <QTableView>
#include <QTableWidget>

namespace {
// Exam list columns.
constexpr int kExamName = 2, kValidity = 6, kExamNumber = 7, kPassMark = 8;
// Registration list columns.
constexpr int kRegId = 6;
const QString kTaken = QStringLiteral("已考");
} // namespace

CExamManagement::CExamManagement(QWidget *parent)
    : ScreenBase(116, KeyFilterMode::All, parent)
{
    for (int c : {kExamNumber, kPassMark})
        exams()->setColumnHidden(c, true);
    control<QTableView>(Registrations)->setColumnHidden(kRegId, true);
    // The names an exam has not registered can be the whole roster: a plain
    // list of texts, not an item each, in rows of one height.
    auto *names = control<QComboBox>(Names);
    names->setModel(new QStringListModel(names));
    if (auto *view = qobject_cast<QListView *>(names->view()))
        view->setUniformItemSizes(true);

    connect(exams(), &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        runCommand(this, [this, item] { chooseExam(item); });
    });
    connect(exams(), &QTableWidget::currentCellChanged, this, [this] {
        runCommand(this, [this] { chooseExam(nullptr); });
    });
    connect(control<QComboBox>(Names), &QComboBox::currentIndexChanged, this, [this] {
        runCommand(this, [this] { chooseExamineeName(); });
    });
    onClick(DeleteExam, [this] { runCommand(this, [this] { deleteExam(); }); });
    onClick(ViewExaminees, [this] { runCommand(this, [this] { viewExaminees(); }); });
    onClick(ReloadExams, [this] { runCommand(this, [this] { reloadExams(); }); });
    onClick(RemoveRegistrations, [this] { runCommand(this, [this] { removeRegistrations(); }); });
    onClick(Register, [this] { runCommand(this, [this] { registerExaminee(); }); });
    onClick(ClearChoice, [this] { clearManualChoice(); });
    onClick(ExtendTime, [this] { runCommand(this, [this] { extendTime(); }); });
    onClick(RestartSitting, [this] { runCommand(this, [this] { restartSitting(); }); });
    for (int id : {CreateExam, Back, Exit})
        onClick(id, [this, id] { Nav::follow(this, id); });

    runCommand(this, [this] { refreshExams(); });
}

QTableWidget *CExamManagement::exams() const
{
    return control<QTableWidget>(Exams);
}

ReportModel *CExamManagement::registrations() const
{
    return ReportModel::of(control<QTableView>(Registrations));
}

void CExamManagement::fail(const QString &message)
{
    MessageBox::warn(this, message);
    Nav::exitProgram(this);
}

bool CExamManagement::refreshExams()
{
    QList<ListedExam> listed;
    const ExamManagement::Listing listing = ExamManagement::loadExams(Clock::now(), &listed);
    QList<QStringList> rows;
    int number = 0;
    for (const ListedExam &e : listed)
        rows << QStringList{QString::number(++number), e.name,     e.start,    e.end,
                            e.paper,                   e.validity, e.number,   e.passMark};
    const QSignalBlocker block(exams());
    ListRows::fill(exams(), rows, true);
    if (listing == ExamManagement::Listing::Tampered) {
        fail(QStringLiteral("保存的考试信息已被篡改,将退出程序！"));
        return false;
    }
    return true;
}

void CExamManagement::reloadExams()
{
    showRegistrations({});
    refreshExams();
    m_number.clear();
}

void CExamManagement::chooseExam(QTableWidgetItem *changed)
{
    if (m_choosing)
        return;
    QTableWidget *list = exams();
    if (changed && changed->column() == 0 && changed->checkState() == Qt::Checked) {
        m_choosing = true;
        for (int r = 0; r < list->rowCount(); ++r)
            if (r != changed->row())
                ListRows::setChecked(list, r, false);
        m_choosing = false;
    }
    setText(Department, QString());
    setText(Post, QString());
    showRegistrations({});

    int row = -1;
    for (int r = 0; r < list->rowCount() && row < 0; ++r)
        if (ListRows::isChecked(list, r))
            row = r;
    if (row < 0)
        return;
    m_name = ListRows::text(list, row, kExamName);
    m_number = ListRows::text(list, row, kExamNumber);
    m_passMark = ListRows::text(list, row, kPassMark);
    setText(ShownName, m_name);

    auto *names = control<QComboBox>(Names);
    const QSignalBlocker block(names);
    static_cast<QStringListModel *>(names->model())->setStringList(ExamManagement::unregisteredNames(m_number.toInt()));
    names->setCurrentIndex(-1);
}

void CExamManagement::chooseExamineeName()
{
    setText(Department, QString());
    setText(Post, QString());
    const QString name = control<QComboBox>(Names)->currentText();
    if (name.isEmpty())
        return;
    if (const std::optional<RosterPerson> p = ExamManagement::unregisteredPerson(name, m_number.toInt())) {
        setText(Department, p->department);
        setText(Post, p->post);
    }
}

void CExamManagement::deleteExam()
{
    const int number = m_number.toInt();
    if (number <= 0) {
        MessageBox::show(this, QStringLiteral("请选择考试！"), Caption::Tip);
        return;
    }
    if (!MessageBox::confirm(this, QStringLiteral("删除考试后，参加此考试保存的所有考生成绩同时被删除，\n\n您确定要删除吗？")))
        return;
    ExamManagement::deleteExam(number);
    setText(ShownName, QString());
    showRegistrations({});
    exams()->setRowCount(0);
    if (refreshExams())
        m_number.clear();
}

void CExamManagement::showRegistrations(QList<ListedRegistration> rows)
{
    registrations()->clear();
    m_listed = std::move(rows);
    registrations()->show(
        int(m_listed.size()),
        [this](int r) {
            const ListedRegistration &reg = m_listed.at(r);
            return QStringList{QString::number(r + 1), reg.name, reg.department, reg.post,
                               reg.taken ? kTaken : reg.sitting, QString::number(reg.id)};
        },
        true);
}

void CExamManagement::viewExaminees()
{
    if (m_number.isEmpty()) {
        MessageBox::show(this, QStringLiteral("请选择考卷！"), Caption::Tip);
        return;
    }
    showRegistrations({});
    QList<ListedRegistration> rows;
    switch (ExamManagement::viewRegistrations(m_number.toInt(), &rows)) {
    case ExamManagement::View::NoExams:
        return;
    case ExamManagement::View::NoCounters:
        fail(QStringLiteral("考生信息已被篡改,将退出程序！"));
        return;
    case ExamManagement::View::CounterRowsNotOne:
        fail(QStringLiteral("数据库已被篡改,将退出程序！"));
        return;
    case ExamManagement::View::CountDiffers:
        fail(QStringLiteral("本次考试的考生数量被修改,将退出程序！"));
        return;
    case ExamManagement::View::RegistrationTampered:
        fail(QStringLiteral("未参加考试的考生信息已被篡改,将退出程序！"));
        return;
    case ExamManagement::View::Shown:
        showRegistrations(std::move(rows));
        return;
    }
}

void CExamManagement::removeRegistrations()
{
    const ReportModel *list = registrations();
    QList<int> ids;
    QStringList finished;
    for (int r = list->count() - 1; r >= 0; --r) {
        if (!list->isChecked(r))
            continue;
        const ListedRegistration &reg = m_listed.at(r);
        if (reg.taken)
            finished << reg.name;
        else
            ids << reg.id;
    }
    // A removal cannot be undone: asked before anything is said or done.
    if (!ids.isEmpty() && !MessageBox::confirm(this, QStringLiteral("您确定要删除所选考生吗？")))
        return;
    for (const QString &name : std::as_const(finished))
        MessageBox::show(this, QStringLiteral("'%1'已完成考试，不能删除！").arg(name), Caption::Tip);
    if (m_number.isEmpty())
        return;
    ExamManagement::removeRegistrations(ids, m_number.toInt());
    showRegistrations(ExamManagement::registrations(m_number.toInt()));
}

void CExamManagement::registerExaminee()
{
    using ExamManagement::Register;
    switch (ExamManagement::registerPerson(control<QComboBox>(Names)->currentText(), text(Department), text(Post),
                                           m_name, m_number, m_passMark)) {
    case Register::Missing:
        MessageBox::show(this, QStringLiteral("考生信息不能为空，请选择考试！"), Caption::Remind);
        return;
    case Register::Ended:
        MessageBox::show(this, QStringLiteral("考试已结束！"), Caption::Tip);
        return;
    case Register::Registered:
        break;
    }
    MessageBox::show(this, QStringLiteral("添加成功!"), Caption::Tip);
    viewExaminees();
    clearManualChoice();
    ListRows::setAllChecked(exams(), false);
}

void CExamManagement::clearManualChoice()
{
    auto *names = control<QComboBox>(Names);
    const QSignalBlocker block(names);
    names->setCurrentIndex(-1);
    names->clear();
    setText(Department, QString());
    setText(Post, QString());
}

std::optional<ListedRegistration> CExamManagement::chosenSitting()
{
    const ReportModel *list = registrations();
    QList<ListedRegistration> chosen;
    for (int r = 0; r < list->count(); ++r)
        if (list->isChecked(r))
            chosen << m_listed.at(r);
    if (chosen.size() != 1) {
        MessageBox::show(this, QStringLiteral("请选择一名考生！"), Caption::Tip);
        return std::nullopt;
    }
    if (!chosen.first().inProgress) {
        MessageBox::show(this, QStringLiteral("'%1'没有进行中的考试！").arg(chosen.first().name), Caption::Tip);
        return std::nullopt;
    }
    return chosen.first();
}

void CExamManagement::extendTime()
{
    const std::optional<ListedRegistration> r = chosenSitting();
    if (!r)
        return;
    CExtendTime dialog(r->name, this);
    dialog.exec();
    if (!dialog.minutes())
        return;
    switch (ExamManagement::extendSitting(r->id, *dialog.minutes())) {
    case ExamManagement::SittingChange::Tampered:
        MessageBox::warn(this, QStringLiteral("'%1'保存的答题记录已被篡改，不能延长时间！").arg(r->name));
        break;
    case ExamManagement::SittingChange::NotRunning:
        MessageBox::show(this, QStringLiteral("'%1'没有进行中的考试！").arg(r->name), Caption::Tip);
        break;
    case ExamManagement::SittingChange::Done:
        MessageBox::show(this, QStringLiteral("已为'%1'延长%2分钟。").arg(r->name).arg(*dialog.minutes()), Caption::Tip);
        break;
    }
    showRegistrations(ExamManagement::registrations(m_number.toInt()));
}

void CExamManagement::restartSitting()
{
    const std::optional<ListedRegistration> r = chosenSitting();
    if (!r)
        return;
    if (!MessageBox::confirm(this, QStringLiteral("让'%1'重新开始考试，已保存的答案和剩余时间都将作废，\n\n您确定吗？")
                                       .arg(r->name)))
        return;
    if (ExamManagement::restartSitting(r->id) == ExamManagement::SittingChange::NotRunning)
        MessageBox::show(this, QStringLiteral("'%1'没有进行中的考试！").arg(r->name), Caption::Tip);
    showRegistrations(ExamManagement::registrations(m_number.toInt()));
}
