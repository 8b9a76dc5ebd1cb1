#include "results/ChartSelection.h"

#include "store/Encoding.h"

namespace ChartExport {

namespace {
enum Column { Number, Name, Department, Post, Score, Pass, TimeUsed, ExamTime, ExamName };

QString column(const ListedResult &row, int c)
{
    return row.columns.value(c);
}
} // namespace

Outcome collect(const QList<ListedResult> &rows, bool withTimes, ChartSelection *selection)
{
    *selection = ChartSelection();
    if (rows.isEmpty())
        return Outcome::NoRows;
    ChartSelection s;
    QStringList examNames;
    int ticked = 0;
    const QString sep = QStringLiteral(";");
    for (const ListedResult &row : rows) {
        if (!row.ticked)
            continue;
        ++ticked;
        s.names += column(row, Name) + sep;
        s.departments += column(row, Department) + sep;
        s.posts += column(row, Post) + sep;
        s.scores += column(row, Score) + sep;
        s.passFlags += column(row, Pass) + sep;
        s.timesUsed += column(row, TimeUsed) + sep;
        // The date part of the stored time.
        s.examDates += Encoding::cutToGbBytes(column(row, ExamTime), 10) + sep;
        s.rowNumbers += column(row, Number) + sep;
        examNames << column(row, ExamName);
    }
    if (ticked == 0)
        return Outcome::NoneTicked;
    for (const QString &name : std::as_const(examNames))
        if (name != examNames.first())
            return Outcome::MixedExams;
    if (ticked > kMaxRows)
        return Outcome::TooMany;
    if (!withTimes)
        s.timesUsed.clear();
    s.examName = examNames.first();
    *selection = s;
    return Outcome::Ready;
}

} // namespace ChartExport
