#include "results/CCheckScore.h"

#include "app/ListRows.h"
#include "app/CMyMsgDlg.h"
#include "app/Command.h"
#include "app/DepartmentPostPicker.h"
#include "app/MessageBox.h"
#include "app/Navigation.h"
#include "results/ChartSelection.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QTableWidget>

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
    results()->horizontalHeader()->setStretchLastSection(true);

    onClick(Query, [this] { runCommand(this, [this] { query(); }); });
    onClick(ClearFields, [this] { clearFields(); });
    onClick(Rank, [this] { runCommand(this, [this] { rank(); }); });
    onClick(ShowAll, [this] { runCommand(this, [this] { showAll(); }); });
    onClick(CheckAll, [this] { ListRows::setAllChecked(results(), true); });
    onClick(UncheckAll, [this] { ListRows::setAllChecked(results(), false); });
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

QTableWidget *CCheckScore::results() const
{
    return control<QTableWidget>(List);
}

bool CCheckScore::verifyResults()
{
    return verifyResults(nullptr);
}

bool CCheckScore::verifyResults(QList<ScoreRow> *scored)
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

void CCheckScore::fillList(const QList<ScoreRow> &rows)
{
    QList<QStringList> texts;
    texts.reserve(rows.size());
    int position = 0;
    for (const ScoreRow &r : rows)
        texts << ScoreQuery::listColumns(++position, r);
    ListRows::fill(results(), texts, true);
}

void CCheckScore::query()
{
    results()->setRowCount(0);
    if (!verifyResults())
        return;
    const ScoreQuery::Fields fields{text(Name), selectedText(control<QComboBox>(Department)),
                                    selectedText(control<QComboBox>(Post)),
                                    selectedText(control<QComboBox>(ExamName))};
    QList<ScoreRow> rows;
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
        fillList(rows);
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
    results()->setRowCount(0);
    QList<ScoreRow> rows;
    switch (ScoreQuery::rank(selectedText(control<QComboBox>(ExamName)), &rows)) {
    case ScoreQuery::Ranked::NoExamName:
        MessageBox::show(this, QStringLiteral("请选择考试名称！"), Caption::Tip);
        return;
    case ScoreQuery::Ranked::NoResults:
        MessageBox::show(this, QStringLiteral("此考试没有考生成绩记录！"), Caption::Tip);
        return;
    case ScoreQuery::Ranked::Rows:
        fillList(rows);
        return;
    }
}

void CCheckScore::showAll()
{
    results()->setRowCount(0);
    QList<ScoreRow> verified;
    if (!verifyResults(&verified))
        return;
    QList<ScoreRow> rows;
    switch (ScoreQuery::showAll(&rows, &verified)) {
    case ScoreQuery::Found::Rows:
        fillList(rows);
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
    QTableWidget *list = results();
    QList<ListedResult> rows;
    rows.reserve(list->rowCount());
    for (int r = 0; r < list->rowCount(); ++r) {
        ListedResult row{{}, ListRows::isChecked(list, r)};
        for (int c = 1; c < list->columnCount(); ++c)
            row.columns << ListRows::text(list, r, c);
        rows << row;
    }
    // Every tick goes, whatever the outcome.
    ListRows::setAllChecked(list, false);

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
