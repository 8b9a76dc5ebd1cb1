#pragma once
// The ticked results handed from the score query to the score chart, and
// the export rules that collect them. No widgets.
#include <QList>
#include <QString>
#include <QStringList>

// Every list holds one item per ticked row, each followed by ";".
struct ChartSelection
{
    QString names;
    QString departments;
    QString posts;
    QString scores;
    QString passFlags;
    QString timesUsed; // empty when the times are not shown
    QString examDates;
    QString rowNumbers;
    QString examName;  // one value
    QString paperName; // one value
};

// One row of the result list as shown: columns 1 to 9 and its tick; the
// columns of a row not ticked are never read and may be left empty.
struct ListedResult
{
    QStringList columns; // 序号 姓名 部门 职务 成绩 合格 考试用时 考试时间 考试名称
    bool ticked = false;
};

namespace ChartExport {

constexpr int kMaxRows = 20;

enum class Outcome {
    Ready,
    NoRows,     // the list is empty
    NoneTicked,
    MixedExams, // the ticked rows name different exams
    TooMany,    // more than kMaxRows ticked
};

// Collects the ticked rows in list order; the paper name is left to the
// caller. On any outcome but Ready the selection is left empty.
Outcome collect(const QList<ListedResult> &rows, bool withTimes, ChartSelection *selection);

} // namespace ChartExport

