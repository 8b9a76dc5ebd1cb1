#include "results/CCheckScore.h"

#include "app/CMyMsgDlg.h"
#include "app/Command.h"
#include "app/DepartmentPostPicker.h"
#include "app/MessageBox.h"
#include "app/Navigation.h"
#include "app/ReportModel.h"
#include "results/ChartSelection.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QTableView>

namespace {

QString selectedText(QComboBox *combo)
{
    return combo->currentIndex() >= 0 ? combo->currentText() : QString();
}
} // namespace

CCheckScore::CCheckScore(QWidget *parent)
    : ScreenBase(119, KeyFilterMode::All, parent)
{
    m_picker = new DepartmentPostPicker(control<QComboBox>(Department), control<QComboBox>(Post));
    // The exam name takes what the other columns leave, up to the list's
    // right edge, with or without a vertical scroll bar.
    control<QTableView>(List)->horizontalHeader()->setStretchLastSection(true);

    onClick(Query, [this] { runCommand(this, [this] { query(); }); });
    onClick(ClearFields, [this] { clearFields(); });
    onClick(Rank, [this] { runCommand(this, [this] { rank(); }); });
    onClick(ShowAll, [this] { runCommand(this, [this] { showAll(); }); });
    onClick(CheckAll, [this] { results()->setAllChecked(true); });
    onClick(UncheckAll, [this] { results()->setAllChecked(false); });
    onClick(Export, [this] { runCommand(this, [this] { exportChart(); }); });
    for (int id : {Marking, ItemAnalysis, Back, Exit})
        onClick(id, [this, id] { Nav::follow(this, id); });

    runCommand(this, [this] {
        m_picker->fill();
        auto *exams = control<QComboBox>(ExamName);
        exams->addItems(ScoreQuery::scoredExamNames());
        exams->setCurrentIndex(-1);
        const bool waiting = ScoreQuery::waitingEssays() > 0;
        setText(Reminder, waiting ? QStringLiteral("提醒：有问答题需要手工批改！") : QString());
        control(Marking)->setVisible(waiting);
        verifyResults();
    });
}

ReportModel *CCheckScore::results() const
{
    return ReportModel::of(control<QTableView>(List));
}

bool CCheckScore::verifyResults()
{
    return verifyResults(nullptr);
}

bool CCheckScore::verifyResults(ScoreList *scored)
{
    QString message;
    switch (ScoreQuery::verify(scored)) {
    case ScoreQuery::Verification::Sound:
        return true;
    case ScoreQuery::Verification::RosterTampered:
        message = QStringLiteral("考生人数信息已被篡改,将退出程序！");
        break;
    case ScoreQuery::Verification::ResultTampered:
        message = QStringLiteral("考生成绩信息已被篡改,将退出程序！");
        break;
    }
    showTimedMessage(this, message, Caption::Tip, 6);
    Nav::exitProgram(this);
    return false;
}

void CCheckScore::fillList(ScoreList rows)
{
    m_rows = std::move(rows);
    results()->show(int(m_rows.size()), [this](int r) { return ScoreQuery::listColumns(r + 1, m_rows.at(r)); },
                    true);
}

void CCheckScore::clearList()
{
    results()->clear();
    m_rows.clear();
}

void CCheckScore::query()
{
    clearList();
    if (!verifyResults())
        return;
    const ScoreQuery::Fields fields{text(Name), selectedText(control<QComboBox>(Department)),
                                    selectedText(control<QComboBox>(Post)),
                                    selectedText(control<QComboBox>(ExamName))};
    ScoreList rows;
    switch (ScoreQuery::query(fields, &rows)) {
    case ScoreQuery::Found::AllEmpty:
        MessageBox::show(this, QStringLiteral("查询条件不能全部为空！"), Caption::Tip);
        return;
    case ScoreQuery::Found::NoRegistrations:
        return;
    case ScoreQuery::Found::NoScores:
        MessageBox::show(this, QStringLiteral("考生成绩记录为空！"), Caption::Tip);
        return;
    case ScoreQuery::Found::OnlyPost:
        MessageBox::show(this, QStringLiteral("查询条件不能为空！"), Caption::Remind);
        return;
    case ScoreQuery::Found::NoMatch:
        MessageBox::show(this, QStringLiteral("找不到考生成绩记录！"), Caption::Tip);
        return;
    case ScoreQuery::Found::Rows:
        fillList(std::move(rows));
        return;
    }
}

void CCheckScore::clearFields()
{
    setText(Name, QString());
    control<QComboBox>(Department)->setCurrentIndex(-1);
    auto *posts = control<QComboBox>(Post);
    posts->setCurrentIndex(-1);
    posts->clear();
    control<QComboBox>(ExamName)->setCurrentIndex(-1);
}

void CCheckScore::rank()
{
    clearList();
    ScoreList rows;
    switch (ScoreQuery::rank(selectedText(control<QComboBox>(ExamName)), &rows)) {
    case ScoreQuery::Ranked::NoExamName:
        MessageBox::show(this, QStringLiteral("请选择考试名称！"), Caption::Tip);
        return;
    case ScoreQuery::Ranked::NoResults:
        MessageBox::show(this, QStringLiteral("此考试没有考生成绩记录！"), Caption::Tip);
        return;
    case ScoreQuery::Ranked::Rows:
        fillList(std::move(rows));
        return;
    }
}

void CCheckScore::showAll()
{
    clearList();
    ScoreList verified;
    if (!verifyResults(&verified))
        return;
    ScoreList rows;
    switch (ScoreQuery::showAll(&rows, &verified)) {
    case ScoreQuery::Found::Rows:
        fillList(std::move(rows));
        return;
    case ScoreQuery::Found::NoScores:
        MessageBox::show(this, QStringLiteral("考生成绩记录为空！"), Caption::Tip);
        return;
    default:
        return;
    }
}

void CCheckScore::exportChart()
{
    ReportModel *list = results();
    // Only a ticked row's texts are read, so a long list costs no formatting.
    QList<ListedResult> rows(list->count());
    for (int r = 0; r < list->count(); ++r)
        if (list->isChecked(r))
            rows[r] = ListedResult{ScoreQuery::listColumns(r + 1, m_rows.at(r)), true};
    // Every tick goes, whatever the outcome.
    list->setAllChecked(false);

    ChartSelection selection;
    switch (ChartExport::collect(rows, control<QCheckBox>(WithTimes)->isChecked(), &selection)) {
    case ChartExport::Outcome::NoRows:
        MessageBox::show(this, QStringLiteral("考生信息不能为空！"), Caption::Tip);
        return;
    case ChartExport::Outcome::NoneTicked:
        MessageBox::show(this, QStringLiteral("请选择考生！"), Caption::Tip);
        return;
    case ChartExport::Outcome::MixedExams:
        MessageBox::show(this, QStringLiteral("选择的考试名称应相同！"), Caption::Tip);
        return;
    case ChartExport::Outcome::TooMany:
        MessageBox::show(this, QStringLiteral("一次选择不能超过20名考生！"), Caption::Tip);
        return;
    case ChartExport::Outcome::Ready:
        break;
    }
    selection.paperName = ScoreQuery::paperNameOf(selection.examName);
    Nav::follow(this, Export, selection);
}
