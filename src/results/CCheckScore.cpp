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
constexpr int kName = 1275, kDepartment = 1277, kPost = 1279, kExamName = 1202;
constexpr int kList = 1273, kWithTimes = 1221, kReminder = 1268, kMarking = 1292;

QString selectedText(QComboBox *combo)
{
    return combo->currentIndex() >= 0 ? combo->currentText() : QString();
}
} // namespace

CCheckScore::CCheckScore(QWidget *parent)
    : ScreenBase(119, KeyFilterMode::All, parent)
{
    m_picker = new DepartmentPostPicker(control<QComboBox>(kDepartment), control<QComboBox>(kPost));
    // The exam name takes what the other columns leave, up to the list's
    // right edge, with or without a vertical scroll bar.
    results()->horizontalHeader()->setStretchLastSection(true);

    onClick(1281, [this] { runCommand(this, [this] { query(); }); });
    onClick(1282, [this] { clearFields(); });
    onClick(1084, [this] { runCommand(this, [this] { rank(); }); });
    onClick(1200, [this] { runCommand(this, [this] { showAll(); }); });
    onClick(1283, [this] { ListRows::setAllChecked(results(), true); });
    onClick(1285, [this] { ListRows::setAllChecked(results(), false); });
    onClick(1287, [this] { runCommand(this, [this] { exportChart(); }); });
    for (int id : {1292, 1289, 1291})
        onClick(id, [this, id] { Nav::follow(this, id); });

    runCommand(this, [this] {
        m_picker->fill();
        auto *exams = control<QComboBox>(kExamName);
        exams->addItems(ScoreQuery::scoredExamNames());
        exams->setCurrentIndex(-1);
        const bool waiting = ScoreQuery::waitingEssays() > 0;
        setText(kReminder, waiting ? QStringLiteral("提醒：有问答题需要手工批改！") : QString());
        control(kMarking)->setVisible(waiting);
        verifyResults();
    });
}

QTableWidget *CCheckScore::results() const
{
    return control<QTableWidget>(kList);
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
    const ScoreQuery::Fields fields{text(kName), selectedText(control<QComboBox>(kDepartment)),
                                    selectedText(control<QComboBox>(kPost)),
                                    selectedText(control<QComboBox>(kExamName))};
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
    setText(kName, QString());
    control<QComboBox>(kDepartment)->setCurrentIndex(-1);
    auto *posts = control<QComboBox>(kPost);
    posts->setCurrentIndex(-1);
    posts->clear();
    control<QComboBox>(kExamName)->setCurrentIndex(-1);
}

void CCheckScore::rank()
{
    results()->setRowCount(0);
    QList<ScoreRow> rows;
    switch (ScoreQuery::rank(selectedText(control<QComboBox>(kExamName)), &rows)) {
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
    switch (ChartExport::collect(rows, control<QCheckBox>(kWithTimes)->isChecked(), &selection)) {
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
    Nav::follow(this, 1287, selection);
}
