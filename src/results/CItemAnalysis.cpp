#include "results/CItemAnalysis.h"

#include "app/Command.h"
#include "app/ListRows.h"
#include "app/MessageBox.h"
#include "app/Navigation.h"
#include "results/ResultExport.h"
#include "store/Clock.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QPainter>
#include <QScopeGuard>
#include <QTableWidget>

CItemAnalysis::CItemAnalysis(QWidget *parent)
    : ScreenBase(134, KeyFilterMode::All, parent)
{
    items()->horizontalHeader()->setStretchLastSection(true);
    onClick(Analyse, [this] { runCommand(this, [this] { analyse(); }); });
    onClick(ExportResults, [this] { runCommand(this, [this] { exportResults(); }); });
    onClick(ExportAnalysis, [this] { runCommand(this, [this] { exportAnalysis(false); }); });
    onClick(ExportPdf, [this] { runCommand(this, [this] { exportAnalysis(true); }); });
    for (int id : {Back, Exit})
        onClick(id, [this, id] { Nav::follow(this, id); });
    runCommand(this, [this] {
        auto *exams = control<QComboBox>(ExamName);
        exams->addItems(ScoreQuery::scoredExamNames());
        exams->setCurrentIndex(-1);
    });
}

QTableWidget *CItemAnalysis::items() const
{
    return control<QTableWidget>(Items);
}

QString CItemAnalysis::chosenExam() const
{
    auto *exams = control<QComboBox>(ExamName);
    return exams->currentIndex() >= 0 ? exams->currentText() : QString();
}

bool CItemAnalysis::analyse()
{
    const QString exam = chosenExam();
    if (exam.isEmpty()) {
        MessageBox::show(this, QStringLiteral("请选择考试名称！"), Caption::Tip);
        return false;
    }
    if (!m_report || m_report->examName != exam) {
        m_report.reset();
        items()->setRowCount(0);
        setText(Summary, QString());
        update();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        m_report = ItemAnalysis::analyse(ItemAnalysis::load(exam));
        setText(Summary, ResultExport::statisticsLines(*m_report).join(QLatin1Char('\n')));
        QList<QStringList> rows;
        int position = 0;
        for (const ItemStats &q : m_report->items)
            rows << QStringList{QString::number(++position),
                                q.type,
                                q.bankId,
                                q.stem,
                                QString::number(q.count),
                                ItemAnalysis::ratioText(q.facility),
                                ItemAnalysis::ratioText(q.discrimination),
                                ResultExport::optionText(q),
                                q.flags.join(QStringLiteral("；"))};
        ListRows::fill(items(), rows);
        // The stem and the reasons are often wider than their columns.
        for (int r = 0; r < items()->rowCount(); ++r)
            for (int c : {3, 8})
                if (QTableWidgetItem *cell = items()->item(r, c))
                    cell->setToolTip(rows[r][c]);
        update();
    }
    if (m_report->exam.examinees == 0) {
        MessageBox::show(this, QStringLiteral("此考试没有可统计的考生成绩（问答题批改完后计入）！"), Caption::Tip);
        return false;
    }
    return true;
}

void CItemAnalysis::exportResults()
{
    const QString exam = chosenExam();
    if (exam.isEmpty()) {
        MessageBox::show(this, QStringLiteral("请选择考试名称！"), Caption::Tip);
        return;
    }
    ScoreList rows;
    if (ScoreQuery::query({QString(), QString(), QString(), exam}, &rows) != ScoreQuery::Found::Rows) {
        MessageBox::show(this, QStringLiteral("此考试没有考生成绩记录！"), Caption::Tip);
        return;
    }
    const QString path = ResultExport::outputPath(exam, QStringLiteral("成绩"), QStringLiteral(".xlsx"), Clock::now());
    written(path, ResultExport::writeResults(path, rows));
}

void CItemAnalysis::exportAnalysis(bool pdf)
{
    if (!analyse())
        return;
    const QDateTime now = Clock::now();
    const QString path = ResultExport::outputPath(m_report->examName, QStringLiteral("试题分析"),
                                                  pdf ? QStringLiteral(".pdf") : QStringLiteral(".xlsx"), now);
    written(path, pdf ? ResultExport::writeAnalysisPdf(path, *m_report, now)
                      : ResultExport::writeAnalysis(path, *m_report));
}

void CItemAnalysis::written(const QString &path, const QString &error)
{
    if (!error.isEmpty()) {
        MessageBox::tip(this, error);
        return;
    }
    m_written = path;
    MessageBox::tip(this, QStringLiteral("已导出到：\n%1")
                              .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
}

void CItemAnalysis::paintPictures(QPainter &painter)
{
    ScreenBase::paintPictures(painter);
    const QWidget *area = control(Histogram);
    if (!area)
        return;
    const QRect box = area->geometry().adjusted(4, 2, -4, -2);
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignTop | Qt::AlignHCenter, QStringLiteral("成绩分布"));
    if (!m_report)
        return;
    // The bars stand between the title and the axis with its two ends named.
    const int line = painter.fontMetrics().height();
    const double full = m_report->exam.histogram.isEmpty() ? 0 : m_report->exam.histogram.last().to;
    const QRect axis(box.left(), box.bottom() - line, box.width(), line);
    painter.drawText(axis, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("0"));
    painter.drawText(axis, Qt::AlignRight | Qt::AlignVCenter, QString::number(full, 'g', 6));
    const QList<HistogramBin> &bins = m_report->exam.histogram;
    int most = 1;
    for (const HistogramBin &b : bins)
        most = std::max(most, b.count);
    const int top = box.top() + line + 2, base = axis.top() - 1;
    const double slot = double(box.width()) / std::max<qsizetype>(bins.size(), 1);
    painter.drawLine(box.left(), base, box.right(), base);
    for (int i = 0; i < bins.size(); ++i) {
        const int h = int((base - top) * double(bins[i].count) / most);
        painter.fillRect(QRectF(box.left() + i * slot + slot * 0.15, base - h, slot * 0.7, h), QColor(70, 110, 170));
    }
}
