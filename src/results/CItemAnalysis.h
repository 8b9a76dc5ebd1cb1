#pragma once
// Item analysis (dialog 134): the statistics of one exam and of every bank
// question drawn in it, with the exports of its results and its analysis.
// Reached from the score query.
#include "app/ScreenBase.h"
#include "results/ItemAnalysis.h"

#include <optional>

class QTableWidget;

class CItemAnalysis : public ScreenBase
{
    Q_OBJECT
public:
    // The controls of dialog 134.
    enum Ids : int {
        ExamName = 1401,
        Analyse = 1402,
        Summary = 1403,
        Histogram = 1404,
        Items = 1405,
        ExportResults = 1406,
        ExportAnalysis = 1407,
        ExportPdf = 1408,
        Back = 1409,
        Exit = 1410,
    };

    explicit CItemAnalysis(QWidget *parent = nullptr);

    // The file the last export wrote; empty before.
    const QString &writtenFile() const { return m_written; }

protected:
    void paintPictures(QPainter &painter) override;

private:
    QTableWidget *items() const;
    QString chosenExam() const;
    // The analysis of the chosen exam, made when the choice changed; false
    // (after its message) when there is nothing to analyse.
    bool analyse();
    void exportResults();
    void exportAnalysis(bool pdf);
    void written(const QString &path, const QString &error);

    std::optional<ItemAnalysis::Report> m_report;
    QString m_written;
};
