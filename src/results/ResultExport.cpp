#include "results/ResultExport.h"

#include "app/PdfDocument.h"
#include "paper/PrintedPaper.h"
#include "store/SafeFile.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QPainter>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <functional>
#include <variant>

namespace ResultExport {

namespace {

// A spreadsheet cell: a text, a number (with an Excel number format), or
// nothing.
struct Cell
{
    std::variant<std::monostate, QString, double> value;
    const char *format = nullptr; // for numbers
    Cell() = default;
    Cell(const QString &text) : value(text) {}
    Cell(double number, const char *numberFormat = nullptr) : value(number), format(numberFormat) {}
    Cell(const std::optional<double> &number, const char *numberFormat = nullptr) : format(numberFormat)
    {
        if (number)
            value = *number;
    }
};

using Row = QList<Cell>;

struct Sheet
{
    QString name;
    QStringList header;
    QList<Row> rows;
};

// Display width in character cells: a CJK character takes two.
int widthOf(const QString &text)
{
    int w = 0;
    for (QChar c : text)
        w += c.unicode() < 0x1100 ? 1 : 2;
    return w;
}

QByteArray utf8(const QString &s)
{
    return s.toUtf8();
}

// Writes the sheets into a workbook in a temporary folder, then to path
// through the safe file write.
QString writeWorkbook(const QString &path, const QList<Sheet> &sheets)
{
    QTemporaryDir dir;
    const QByteArray temp = QFile::encodeName(dir.filePath(QStringLiteral("book.xlsx")));
    lxw_workbook *book = workbook_new(temp.constData());
    if (!book)
        return QStringLiteral("无法生成电子表格：%1").arg(path);
    lxw_format *bold = workbook_add_format(book);
    format_set_bold(bold);
    format_set_align(bold, LXW_ALIGN_CENTER);
    QHash<QByteArray, lxw_format *> numberFormats;
    for (const Sheet &s : sheets) {
        lxw_worksheet *ws = workbook_add_worksheet(book, utf8(s.name).constData());
        QList<int> widths;
        for (int c = 0; c < s.header.size(); ++c) {
            worksheet_write_string(ws, 0, lxw_col_t(c), utf8(s.header[c]).constData(), bold);
            widths << widthOf(s.header[c]);
        }
        for (int r = 0; r < s.rows.size(); ++r) {
            const Row &row = s.rows[r];
            for (int c = 0; c < row.size(); ++c) {
                const Cell &cell = row[c];
                int w = 0;
                if (const QString *t = std::get_if<QString>(&cell.value)) {
                    worksheet_write_string(ws, lxw_row_t(r + 1), lxw_col_t(c), utf8(*t).constData(), nullptr);
                    w = widthOf(*t);
                } else if (const double *n = std::get_if<double>(&cell.value)) {
                    lxw_format *f = nullptr;
                    if (cell.format) {
                        lxw_format *&known = numberFormats[QByteArray(cell.format)];
                        if (!known) {
                            known = workbook_add_format(book);
                            format_set_num_format(known, cell.format);
                        }
                        f = known;
                    }
                    worksheet_write_number(ws, lxw_row_t(r + 1), lxw_col_t(c), *n, f);
                    w = 10;
                }
                if (c >= widths.size())
                    widths.resize(c + 1);
                widths[c] = std::max(widths[c], w);
            }
        }
        for (int c = 0; c < widths.size(); ++c)
            worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), std::min(widths[c] + 2, 80), nullptr);
        worksheet_freeze_panes(ws, 1, 0);
    }
    if (workbook_close(book) != LXW_NO_ERROR)
        return QStringLiteral("无法生成电子表格：%1").arg(path);
    return SafeWrite::placeFile(QFile::decodeName(temp), path);
}

QString numberText(double v)
{
    return QString::number(v, 'f', 2).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}

QString percent(double share)
{
    return QString::number(share * 100, 'f', 1) + QLatin1Char('%');
}

QString binLabel(const HistogramBin &b)
{
    return numberText(b.from) + QStringLiteral("～") + numberText(b.to);
}

} // namespace

QString outputFolder()
{
    return PrintedPaper::outputFolder(QStringLiteral("成绩报表"));
}

QString outputPath(const QString &examName, const QString &what, const QString &suffix, const QDateTime &when)
{
    return PrintedPaper::outputPath(outputFolder(), examName + QLatin1Char('_') + what, when, suffix);
}

QString optionText(const ItemStats &item)
{
    if (!item.choice)
        return QString();
    QStringList parts;
    for (int i = 0; i < 5; ++i)
        if (item.options[i] > 0)
            parts << QStringLiteral("%1%2").arg(QChar(char('A' + i))).arg(item.options[i]);
    if (item.unanswered > 0)
        parts << QStringLiteral("未答%1").arg(item.unanswered);
    return parts.join(QLatin1Char(' '));
}

QStringList statisticsLines(const ItemAnalysis::Report &r)
{
    const ExamStats &x = r.exam;
    QStringList lines;
    lines << QStringLiteral("考试名称：%1　试卷：%2　满分：%3　合格分数：%4")
                 .arg(r.examName, r.paperName.isEmpty() ? QStringLiteral("（已删除）") : r.paperName,
                      r.fullMarks > 0 ? numberText(r.fullMarks) : QStringLiteral("—"), r.passMark);
    lines << QStringLiteral("考生人数：%1　平均分：%2　中位数：%3　标准差：%4　最低分：%5　最高分：%6")
                 .arg(x.examinees)
                 .arg(numberText(x.mean), numberText(x.median), numberText(x.deviation), numberText(x.lowest),
                      numberText(x.highest));
    lines << QStringLiteral("合格人数：%1　合格率：%2　内部一致性：%3")
                 .arg(x.examinees ? QString::number(x.passed) : QStringLiteral("0"),
                      x.examinees ? percent(x.passRate) : QStringLiteral("—"),
                      x.consistency ? QString(x.consistencyName + QLatin1Char(' ') + ItemAnalysis::ratioText(x.consistency))
                                    : QStringLiteral("—（考生所答试题不尽相同）"));
    lines << QStringLiteral("（成绩高于合格分数为合格；标准差按全体考生计算）");
    QStringList left;
    if (r.waiting)
        left << QStringLiteral("%1人问答题待批改").arg(r.waiting);
    if (r.withoutSitting)
        left << QStringLiteral("%1人无答题记录").arg(r.withoutSitting);
    if (r.tampered)
        left << QStringLiteral("%1人答题记录已被篡改").arg(r.tampered);
    if (!left.isEmpty())
        lines << QStringLiteral("未计入试题统计：") + left.join(QStringLiteral("，")) +
                     (r.waiting ? QStringLiteral("（待批改者也不计入考试统计）") : QString());
    return lines;
}

QString writeResults(const QString &path, const ScoreList &rows)
{
    Sheet s{QStringLiteral("成绩"),
            {QStringLiteral("序号"), QStringLiteral("姓名"), QStringLiteral("部门"), QStringLiteral("职务"),
             QStringLiteral("成绩"), QStringLiteral("合格分数"), QStringLiteral("合格"), QStringLiteral("考试用时"),
             QStringLiteral("考试时间"), QStringLiteral("考试名称")},
            {}};
    int position = 0;
    for (const ScoreRow &r : rows) {
        bool whole = false;
        const int seconds = r.timeUsed.toInt(&whole);
        // Time used as a day fraction with an hours format: a number that
        // sums and sorts, shown as the list shows it.
        s.rows << Row{Cell(double(++position)),
                      r.name,
                      r.department,
                      r.post,
                      Cell(ScoreQuery::leadingNumber(r.score)),
                      Cell(ScoreQuery::leadingNumber(r.passMark)),
                      ScoreQuery::passFlag(r),
                      whole ? Cell(seconds / 86400.0, "[h]:mm:ss") : Cell(r.timeUsed),
                      r.examTime,
                      r.examName};
    }
    return writeWorkbook(path, {s});
}

QString writeAnalysis(const QString &path, const ItemAnalysis::Report &r)
{
    Sheet items{QStringLiteral("试题分析"),
                {QStringLiteral("序号"), QStringLiteral("题型"), QStringLiteral("题库ID"), QStringLiteral("题干"),
                 QStringLiteral("分值"), QStringLiteral("人数"), QStringLiteral("得分率"), QStringLiteral("区分度"),
                 QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D"),
                 QStringLiteral("E"), QStringLiteral("未答"), QStringLiteral("答案"), QStringLiteral("提示")},
                {}};
    int position = 0;
    for (const ItemStats &q : r.items) {
        Row row{Cell(double(++position)), q.type};
        bool numeric = false;
        const double id = q.bankId.toDouble(&numeric);
        row << (numeric ? Cell(id) : Cell(q.bankId)) << q.stem.left(200) << Cell(q.points) << Cell(double(q.count))
            << Cell(q.facility, "0.00") << Cell(q.discrimination, "0.00");
        for (int i = 0; i < 5; ++i)
            row << (q.choice ? Cell(double(q.options[i])) : Cell());
        row << (q.choice ? Cell(double(q.unanswered)) : Cell()) << q.reference.left(200)
            << q.flags.join(QStringLiteral("；"));
        items.rows << row;
    }
    const ExamStats &x = r.exam;
    Sheet exam{QStringLiteral("考试统计"), {QStringLiteral("项目"), QStringLiteral("数值")}, {}};
    exam.rows << Row{QStringLiteral("考试名称"), r.examName} << Row{QStringLiteral("试卷名称"), r.paperName}
              << Row{QStringLiteral("满分"), Cell(r.fullMarks)}
              << Row{QStringLiteral("合格分数"), Cell(ScoreQuery::leadingNumber(r.passMark))}
              << Row{QStringLiteral("考生人数"), Cell(double(x.examinees))}
              << Row{QStringLiteral("平均分"), Cell(x.mean, "0.00")}
              << Row{QStringLiteral("中位数"), Cell(x.median)}
              << Row{QStringLiteral("标准差（总体）"), Cell(x.deviation, "0.00")}
              << Row{QStringLiteral("最低分"), Cell(x.lowest)} << Row{QStringLiteral("最高分"), Cell(x.highest)}
              << Row{QStringLiteral("合格人数"), Cell(double(x.passed))}
              << Row{QStringLiteral("合格率"), Cell(x.passRate, "0.0%")}
              << Row{x.consistency ? x.consistencyName : QStringLiteral("内部一致性"), Cell(x.consistency, "0.00")}
              << Row{QStringLiteral("问答题待批改（未计入）"), Cell(double(r.waiting))};
    for (const HistogramBin &b : x.histogram)
        exam.rows << Row{QStringLiteral("分数段 ") + binLabel(b), Cell(double(b.count))};
    return writeWorkbook(path, {items, exam});
}

QString writeAnalysisPdf(const QString &path, const ItemAnalysis::Report &r, const QDateTime &when)
{
    PdfDocument pdf(QStringLiteral("试题分析报告 ") + r.examName);
    pdf.paragraph(QStringLiteral("试题分析报告"), PdfDocument::font(18, true), Qt::AlignHCenter);
    pdf.skip(2);
    pdf.paragraph(r.examName, PdfDocument::font(13, true), Qt::AlignHCenter);
    pdf.paragraph(QStringLiteral("生成时间：") + when.toString(QStringLiteral("yyyy/MM/dd HH:mm")),
                  PdfDocument::font(9), Qt::AlignHCenter);
    pdf.skip(4);
    pdf.paragraph(QStringLiteral("考试统计"), PdfDocument::font(12, true));
    pdf.skip(1);
    for (const QString &line : statisticsLines(r))
        pdf.paragraph(line, PdfDocument::font(10));
    pdf.skip(4);

    // The histogram: one bar per tenth of the full marks.
    pdf.paragraph(QStringLiteral("成绩分布"), PdfDocument::font(12, true));
    const double chartHeight = 55;
    pdf.ensureRoom(chartHeight + 4);
    const double chartBase = pdf.y() + 4 + chartHeight - 8;
    const QList<HistogramBin> &bins = r.exam.histogram;
    int most = 1;
    for (const HistogramBin &b : bins)
        most = std::max(most, b.count);
    QPainter &p = pdf.painter();
    const double u = pdf.unit(), slot = pdf.width() / std::max<qsizetype>(bins.size(), 1);
    p.setPen(QPen(Qt::black, 0.3 * u));
    p.drawLine(QPointF(0, chartBase * u), QPointF(pdf.width() * u, chartBase * u));
    for (int i = 0; i < bins.size(); ++i) {
        const double h = (chartHeight - 16) * bins[i].count / most;
        const QRectF bar((i * slot + slot * 0.15) * u, (chartBase - h) * u, slot * 0.7 * u, h * u);
        p.fillRect(bar, QColor(70, 110, 170));
        pdf.text(i * slot, chartBase - h - 5, slot, 5, QString::number(bins[i].count), PdfDocument::font(8),
                 Qt::AlignCenter);
        pdf.text(i * slot, chartBase + 0.5, slot, 5, binLabel(bins[i]), PdfDocument::font(7), Qt::AlignCenter);
    }
    pdf.skip(4 + chartHeight);

    // The question table; its header comes again on every page.
    pdf.paragraph(QStringLiteral("试题分析"), PdfDocument::font(12, true));
    pdf.skip(1);
    const QStringList titles{QStringLiteral("序号"), QStringLiteral("题型"), QStringLiteral("题库ID"),
                             QStringLiteral("题干"), QStringLiteral("人数"), QStringLiteral("得分率"),
                             QStringLiteral("区分度"), QStringLiteral("选项"), QStringLiteral("提示")};
    const QList<double> widths{9, 13, 12, 40, 10, 12, 12, 26, 40};
    const QFont cellFont = PdfDocument::font(8), headFont = PdfDocument::font(8, true);
    const auto drawRow = [&](const QStringList &cells, const QFont &font, double height) {
        double x = 0;
        for (int c = 0; c < cells.size(); ++c) {
            const int align = (c == 3 || c == 8 ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter;
            pdf.text(x + 0.8, pdf.y(), widths[c] - 1.6, height, cells[c], font, align | Qt::TextWordWrap);
            p.setPen(QPen(Qt::gray, 0.2 * u));
            p.drawRect(QRectF(x * u, pdf.y() * u, widths[c] * u, height * u));
            x += widths[c];
        }
        pdf.skip(height);
    };
    const auto header = [&] { drawRow(titles, headFont, 6); };
    pdf.ensureRoom(12);
    header();
    int position = 0;
    for (const ItemStats &q : r.items) {
        const QStringList cells{QString::number(++position),
                                q.type,
                                q.bankId,
                                q.stem.left(80),
                                QString::number(q.count),
                                ItemAnalysis::ratioText(q.facility),
                                ItemAnalysis::ratioText(q.discrimination),
                                optionText(q),
                                q.flags.join(QLatin1Char('\n'))};
        double height = 6;
        for (int c : {3, 7, 8})
            height = std::max(height, pdf.textHeight(cells[c], cellFont, widths[c] - 1.6) + 1.5);
        const double before = pdf.y();
        pdf.ensureRoom(height);
        if (pdf.y() < before)
            header();
        drawRow(cells, cellFont, height);
    }
    return pdf.finish(path);
}

} // namespace ResultExport
