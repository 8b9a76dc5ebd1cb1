#include "admin/CCreateExam.h"

#include "admin/ExamCreation.h"
#include "app/ListRows.h"
#include "app/ReportModel.h"
#include "admin/Roster.h"
#include "app/Command.h"
#include "app/DepartmentPostPicker.h"
#include "app/MessageBox.h"
#include "app/Navigation.h"
#include "store/Clock.h"
#include "store/Schema.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTableView>
#include <QTableWidget>
#include <QTimeEdit>

namespace {
// Paper list columns after the check box.
constexpr int kPaperNameColumn = 1, kFullMarksColumn = 4, kEssayColumn = 6;
} // namespace

CCreateExam::CCreateExam(QWidget *parent)
    : ScreenBase(117, KeyFilterMode::EnterEsc, parent)
{
    control<QLineEdit>(Name)->setMaxLength(Schema::MaxText);
    papers()->setColumnHidden(kEssayColumn, true);
    for (int id : {Found, Chosen}) {
        control<QTableView>(id)->setSelectionMode(QAbstractItemView::ExtendedSelection);
        showPeople(id, {});
    }

    const QDateTime now = Clock::now();
    for (int id : {StartDate, EndDate})
        control<QDateEdit>(id)->setDate(now.date());
    for (int id : {StartTime, EndTime})
        control<QTimeEdit>(id)->setTime(QTime(now.time().hour(), now.time().minute()));

    m_filter = new DepartmentPostPicker(control<QComboBox>(Department), control<QComboBox>(Post));

    connect(papers(), &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) { choosePaper(item); });
    onClick(Show, [this] { runCommand(this, [this] { showCandidates(); }); });
    onClick(ClearFilter, [this] { clearFilter(); });
    onClick(CheckAllFound, [this] { listOf(Found)->setAllChecked(true); });
    onClick(UncheckAllFound, [this] { listOf(Found)->setAllChecked(false); });
    onClick(CheckAllChosen, [this] { listOf(Chosen)->setAllChecked(true); });
    onClick(UncheckAllChosen, [this] { listOf(Chosen)->setAllChecked(false); });
    onClick(Move, [this] { moveCandidates(); });
    onClick(Remove, [this] { removeChosen(); });
    onClick(Save, [this] { runCommand(this, [this] { createExam(); }); });
    onClick(Back, [this] { Nav::follow(this, Back); });
    onClick(Exit, [this] { Nav::follow(this, Exit); });

    runCommand(this, [this] { openCreateExam(); });
}

QTableWidget *CCreateExam::papers() const
{
    return control<QTableWidget>(Papers);
}

ReportModel *CCreateExam::listOf(int id) const
{
    return ReportModel::of(control<QTableView>(id));
}

void CCreateExam::showPeople(int id, RosterList people)
{
    RosterList &held = id == Found ? m_found : m_chosen;
    ReportModel *list = listOf(id);
    list->clear();
    held = std::move(people);
    list->show(
        held.size(),
        [&held](int r) {
            const RosterPerson p = held.at(r);
            return QStringList{p.name, p.department, p.post};
        },
        true);
}

void CCreateExam::openCreateExam()
{
    m_filter->fill();
    QList<StoredPaper> stored;
    const ExamCreation::Papers check = ExamCreation::loadPapers(&stored);
    for (const StoredPaper &p : stored)
        ListRows::append(papers(), {p.name, p.subject, p.questionCount, p.fullMarks, p.created, p.essay}, true);
    if (check == ExamCreation::Papers::Tampered) {
        MessageBox::warn(this, QStringLiteral("保存的试卷已被篡改,将退出程序！"));
        Nav::exitProgram(this);
    }
}

void CCreateExam::choosePaper(QTableWidgetItem *changed)
{
    if (m_choosing || !changed || changed->column() != 0)
        return;
    m_choosing = true;
    QTableWidget *list = papers();
    if (changed->checkState() == Qt::Checked)
        for (int r = 0; r < list->rowCount(); ++r)
            if (r != changed->row())
                ListRows::setChecked(list, r, false);
    m_choosing = false;

    for (int r = 0; r < list->rowCount(); ++r) {
        if (ListRows::isChecked(list, r)) {
            m_paper = ListRows::text(list, r, kPaperNameColumn);
            m_fullMarks = ListRows::text(list, r, kFullMarksColumn);
            m_essay = ListRows::text(list, r, kEssayColumn);
            control(PaperLabel)->show();
            setText(PaperName, m_paper);
            return;
        }
    }
    control(PaperLabel)->hide();
    setText(PaperName, QString());
    m_paper.clear();
}

void CCreateExam::showCandidates()
{
    QList<RosterPerson> people;
    switch (Roster::query(QString(), text(Department), text(Post), &people)) {
    case Roster::Query::NoCondition:
        showPeople(Found, {});
        MessageBox::show(this, QStringLiteral("查询条件不能为空！"), Caption::Remind);
        return;
    case Roster::Query::NoMatch:
        MessageBox::show(this, QStringLiteral("找不到要查询的考生！"), Caption::Remind);
        return;
    case Roster::Query::Found:
        break;
    }
    RosterList found;
    for (const RosterPerson &p : std::as_const(people))
        found.append(p);
    showPeople(Found, std::move(found));
    clearFilter();
}

void CCreateExam::clearFilter()
{
    m_filter->fill();
}

void CCreateExam::moveCandidates()
{
    // The ticked rows go to the end of the right list in their order; the
    // left list is made again from the rest, so that moving a whole
    // department costs one pass, not one removal a row.
    const ReportModel *left = listOf(Found);
    RosterList stay, moved;
    for (int r = 0; r < left->count(); ++r)
        (left->isChecked(r) ? moved : stay).append(m_found.at(r));
    if (moved.isEmpty())
        return;
    showPeople(Found, std::move(stay));
    listOf(Chosen)->append(moved.size(), [this, &moved] {
        for (int i = 0; i < moved.size(); ++i)
            m_chosen.append(moved.at(i));
    });
}

void CCreateExam::removeChosen()
{
    const ReportModel *right = listOf(Chosen);
    const QItemSelectionModel *selection = control<QTableView>(Chosen)->selectionModel();
    RosterList kept;
    for (int r = 0; r < right->count(); ++r)
        if (!right->isChecked(r) && !selection->isRowSelected(r))
            kept.append(m_chosen.at(r));
    if (kept.size() != right->count())
        showPeople(Chosen, std::move(kept));
}

void CCreateExam::createExam()
{
    ExamRequest request;
    request.name = text(Name);
    request.timeLimit = text(TimeLimit);
    request.passMark = text(PassMark);
    request.paper = text(PaperName).isEmpty() ? QString() : m_paper;
    request.fullMarks = m_fullMarks;
    request.essay = m_essay;
    const auto pickerText = [this](int id) { return control<QAbstractSpinBox>(id)->text(); };
    request.start = pickerText(StartDate).replace(QLatin1Char('-'), QLatin1Char('/')) + QLatin1Char(' ')
                    + pickerText(StartTime);
    request.end =
        pickerText(EndDate).replace(QLatin1Char('-'), QLatin1Char('/')) + QLatin1Char(' ') + pickerText(EndTime);

    QList<ExamCandidate> people;
    for (int r = 0; r < m_chosen.size(); ++r) {
        const RosterPerson p = m_chosen.at(r);
        people << ExamCandidate{p.name, p.department, p.post};
    }

    const ExamCreation::Outcome outcome = ExamCreation::create(request, people);
    MessageBox::show(this, ExamCreation::message(outcome), Caption::Tip);
    if (outcome != ExamCreation::Outcome::Created)
        return;
    showPeople(Found, {});
    showPeople(Chosen, {});
    for (int id : {Name, TimeLimit, PassMark})
        setText(id, QString());
    clearFilter();
}
