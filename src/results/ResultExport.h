#pragma once
// The exports of an exam's results: the whole result list and the item
// analysis as spreadsheets (.xlsx: numbers as numbers, a header row, columns
// as wide as their texts), and the item analysis as a print-ready PDF
// report. Each writes its file whole or not at all. No widgets.
#include "results/ItemAnalysis.h"
#include "results/ScoreQuery.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace ResultExport {

// 成绩报表 in the working directory, made when missing, never cleaned up.
QString outputFolder();
// <folder>/<exam name>_<what>_<yyyyMMdd_HHmmss>.<suffix>, named as the
// printed papers are.
QString outputPath(const QString &examName, const QString &what, const QString &suffix, const QDateTime &when);

// Each returns an empty text on success, else the message for the user.
QString writeResults(const QString &path, const ScoreList &rows);
QString writeAnalysis(const QString &path, const ItemAnalysis::Report &report);
QString writeAnalysisPdf(const QString &path, const ItemAnalysis::Report &report, const QDateTime &when);

// The lines of the exam's statistics, as the screen and the report show them.
QStringList statisticsLines(const ItemAnalysis::Report &report);
// An item's option counts: "A3 B1 C1 未答1"; empty for other types.
QString optionText(const ItemStats &item);

} // namespace ResultExport
