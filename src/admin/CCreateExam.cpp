#include "admin/CCreateExam.h"

#include "admin/ExamCreation.h"
#include "app/ListRows.h"
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
    for (QTableWidget *list : {papers(), found(), chosen()})
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    papers()->setSelectionMode(QAbstractItemView::SingleSelection);

    const QDateTime now = Clock::now();
    for (int id : {StartDate, EndDate})
        control<QDateEdit>(id)->setDate(now.date());
    for (int id : {StartTime, EndTime})
        control<QTimeEdit>(id)->setTime(QTime(now.time().hour(), now.time().minute()));

    m_filter = new DepartmentPostPicker(control<QComboBox>(Department), control<QComboBox>(Post));

    connect(papers(), &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) { choosePaper(item); });
    onClick(Show, [this] { runCommand(this, [this] { showCandidates(); }); });
    onClick(ClearFilter, [this] { clearFilter(); });
    onClick(CheckAllFound, [this] { ListRows::setAllChecked(found(), true); });
    onClick(UncheckAllFound, [this] { ListRows::setAllChecked(found(), false); });
    onClick(CheckAllChosen, [this] { ListRows::setAllChecked(chosen(), true); });
    onClick(UncheckAllChosen, [this] { ListRows::setAllChecked(chosen(), false); });
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

QTableWidget *CCreateExam::found() const
{
    return control<QTableWidget>(Found);
}

QTableWidget *CCreateExam::chosen() const
{
    return control<QTableWidget>(Chosen);
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
        found()->setRowCount(0);
        MessageBox::show(this, QStringLiteral("查询条件不能为空！"), Caption::Remind);
        return;
    case Roster::Query::NoMatch:
        MessageBox::show(this, QStringLiteral("找不到要查询的考生！"), Caption::Remind);
        return;
    case Roster::Query::Found:
        break;
    }
    QList<QStringList> rows;
    rows.reserve(people.size());
    for (const RosterPerson &p : people)
        rows << QStringList{p.name, p.department, p.post};
    ListRows::fill(found(), rows, true);
    clearFilter();
}

void CCreateExam::clearFilter()
{
    m_filter->fill();
}

void CCreateExam::moveCandidates()
{
    QTableWidget *left = found();
    QTableWidget *right = chosen();
    const int end = right->rowCount();
    for (int r = left->rowCount() - 1; r >= 0; --r) {
        if (!ListRows::isChecked(left, r))
            continue;
        const QStringList texts{ListRows::text(left, r, 1), ListRows::text(left, r, 2), ListRows::text(left, r, 3)};
        left->removeRow(r);
        ListRows::insert(right, end, texts, true);
    }
}

void CCreateExam::removeChosen()
{
    QTableWidget *right = chosen();
    for (int r = right->rowCount() - 1; r >= 0; --r) {
        const bool selected = right->item(r, 0) && right->item(r, 0)->isSelected();
        if (ListRows::isChecked(right, r) || selected)
            right->removeRow(r);
    }
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
    QTableWidget *right = chosen();
    for (int r = 0; r < right->rowCount(); ++r)
        people << ExamCandidate{ListRows::text(right, r, 1), ListRows::text(right, r, 2), ListRows::text(right, r, 3)};

    const ExamCreation::Outcome outcome = ExamCreation::create(request, people);
    MessageBox::show(this, ExamCreation::message(outcome), Caption::Tip);
    if (outcome != ExamCreation::Outcome::Created)
        return;
    found()->setRowCount(0);
    right->setRowCount(0);
    for (int id : {Name, TimeLimit, PassMark})
        setText(id, QString());
    clearFilter();
}
