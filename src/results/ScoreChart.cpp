#include "results/ScoreChart.h"

#include "app/Bitmap.h"
#include "app/Fonts.h"
#include "app/Resources.h"
#include "store/Encoding.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>

#include <cmath>

namespace ScoreChart {

namespace {

constexpr int kCellHeight = 34;
constexpr int kHeaderTop = 168;
constexpr int kFirstRowTop = 202;
constexpr int kLineBytes = 14;
const QColor kText(160, 82, 45);
const QColor kBorder(0, 0, 255);

struct Column
{
    const char *header;
    int left;
    int width;
};
const Column kColumns[] = {{"序号", 40, 40},  {"姓 名", 80, 114}, {"部 门", 194, 114}, {"职 务", 308, 114},
                           {"得分", 422, 60}, {"合格", 482, 40},  {"考试时间", 522, 90}};

QFont sheetFont()
{
    // 宋体 at 11.5 points on a 96-dpi device.
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(int(std::lround(11.5 * 96.0 / 72.0)));
    return f;
}

// Text with its top-left corner at x, y, as 宋体 places it (a cell's second
// line would otherwise run onto its bottom border).
void textAt(QPainter &p, int x, int y, const QString &text)
{
    if (text.isEmpty())
        return;
    p.drawText(QPoint(x, y + Fonts::nominalAscent(p.font())), text);
}

int widthOf(QPainter &p, const QString &text)
{
    return QFontMetrics(p.font()).horizontalAdvance(text);
}

void border(QPainter &p, int x, int y, int w)
{
    p.setPen(QPen(kBorder, 1));
    p.setBrush(Qt::NoBrush);
    // The rectangle's outline on its last pixels, as a filled-in GDI one.
    p.drawRect(x, y, w - 1, kCellHeight - 1);
    p.setPen(kText);
}

// The inside of a cell: its text never covers the border, whatever the
// stand-in face's glyphs reach below their line.
struct InsideCell
{
    InsideCell(QPainter &p, int x, int y, int w) : m_p(p)
    {
        m_p.save();
        m_p.setClipRect(QRect(x + 1, y + 1, w - 2, kCellHeight - 2), Qt::IntersectClip);
    }
    ~InsideCell() { m_p.restore(); }
    QPainter &m_p;
};

void centredCell(QPainter &p, int x, int y, int w, const QString &text)
{
    border(p, x, y, w);
    const InsideCell inside(p, x, y, w);
    textAt(p, x + (w - widthOf(p, text)) / 2, y + 10, text);
}

void longTextCell(QPainter &p, int x, int y, int w, const QString &text)
{
    const QStringList lines = cellLines(text);
    if (lines.size() < 2) {
        centredCell(p, x, y, w, text);
        return;
    }
    border(p, x, y, w);
    const InsideCell inside(p, x, y, w);
    textAt(p, x + 5, y + 2, lines.at(0));
    textAt(p, x + 5, y + 18, lines.at(1));
}

void twoLineCell(QPainter &p, int x, int y, int w, const QString &first, const QString &second)
{
    border(p, x, y, w);
    const InsideCell inside(p, x, y, w);
    const int left = x + (w - widthOf(p, first)) / 2;
    textAt(p, left, y + 2, first);
    textAt(p, left, y + 18, second);
}

} // namespace

QString takeItem(QString &list)
{
    const qsizetype sep = list.indexOf(QLatin1Char(';'));
    if (sep < 0) {
        // No ";" left: no item (a trailing text without one is dropped).
        list.clear();
        return QString();
    }
    const QString item = list.left(sep);
    list.remove(0, sep + 1);
    return item;
}

QList<ChartRow> rows(const ChartSelection &s)
{
    const int n = int(s.names.count(QLatin1Char(';')));
    QString names = s.names, departments = s.departments, posts = s.posts, scores = s.scores,
            passFlags = s.passFlags, dates = s.examDates, times = s.timesUsed, numbers = s.rowNumbers;
    QList<ChartRow> out;
    out.reserve(n);
    for (int i = 0; i < n; ++i)
        out << ChartRow{takeItem(numbers), takeItem(names),     takeItem(departments), takeItem(posts),
                        takeItem(scores),  takeItem(passFlags), takeItem(dates),       takeItem(times)};
    return out;
}

QStringList cellLines(const QString &text)
{
    if (Encoding::gbLength(text) <= kLineBytes)
        return {text};
    const QString first = Encoding::cutToGbBytes(text, kLineBytes);
    return {first, Encoding::cutToGbBytes(text.mid(first.size()), kLineBytes)};
}

int organisationTop(int rows)
{
    return rows < 18 ? 280 + kCellHeight * rows : 892;
}

void render(QPainter &p, const ChartSelection &s, const QDate &today)
{
    p.drawImage(0, 0, loadPngResource(232));
    p.drawImage(465, 60, loadPngResource(233));
    p.setFont(sheetFont());
    p.setPen(kText);
    p.setBackgroundMode(Qt::TransparentMode);
    textAt(p, 490, 102, today.toString(QStringLiteral("yyyy.MM.dd")));
    textAt(p, 108, 120, QStringLiteral("考试名称：") + s.examName);
    textAt(p, 108, 146, QStringLiteral("(试卷名称：%1)").arg(s.paperName));

    const bool withTimes = !s.timesUsed.isEmpty();
    for (int c = 0; c < 6; ++c)
        centredCell(p, kColumns[c].left, kHeaderTop, kColumns[c].width, QString::fromUtf8(kColumns[c].header));
    const Column &last = kColumns[6];
    if (withTimes)
        twoLineCell(p, last.left, kHeaderTop, last.width, QStringLiteral("考试时间"), QStringLiteral("考试用时"));
    else
        centredCell(p, last.left, kHeaderTop, last.width, QStringLiteral("考试时间"));

    const QList<ChartRow> table = rows(s);
    for (int i = 0; i < table.size(); ++i) {
        const ChartRow &r = table.at(i);
        const int y = kFirstRowTop + kCellHeight * i;
        centredCell(p, kColumns[0].left, y, kColumns[0].width, r.rowNumber);
        longTextCell(p, kColumns[1].left, y, kColumns[1].width, r.name);
        longTextCell(p, kColumns[2].left, y, kColumns[2].width, r.department);
        longTextCell(p, kColumns[3].left, y, kColumns[3].width, r.post);
        centredCell(p, kColumns[4].left, y, kColumns[4].width, r.score);
        centredCell(p, kColumns[5].left, y, kColumns[5].width, r.passFlag);
        if (withTimes)
            twoLineCell(p, last.left, y, last.width, r.examDate, r.timeUsed);
        else
            centredCell(p, last.left, y, last.width, r.examDate);
    }

    const QString organisation = QStringLiteral("Belquin");
    textAt(p, 556 - widthOf(p, organisation), organisationTop(int(table.size())), organisation);
}

QImage renderImage(const ChartSelection &selection, const QSize &size, const QDate &today)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    render(p, selection, today);
    p.end();
    return image;
}

bool save(const ChartSelection &selection, const QSize &size, const QDate &today, const QString &path,
          QString *error)
{
    return writeBmp32(renderImage(selection, size, today), path, error);
}

QString targetPath(const QString &chosen)
{
    return chosen + QStringLiteral(".bmp");
}

} // namespace ScoreChart

void ChartScroll::setPage(int page)
{
    m_page = std::max(0, page);
    m_pos = std::clamp(m_pos, 0, lastTop());
}

bool ChartScroll::scroll(Request request, int tracked)
{
    const int p = m_pos, page = m_page, max = kMax;
    int next = p;
    switch (request) {
    case LineUp:
        if (p <= 0)
            return false;
        next = p > 14 ? p - 15 : 0;
        break;
    case LineDown:
        if (p >= max - page)
            return false;
        next = max - p < page + 15 ? max - page : p + 15;
        break;
    case PageUp:
        next = p < page / 2 ? 0 : p - page / 2;
        break;
    case PageDown:
        next = max - p - page < page / 2 ? max - page : p + page / 2;
        break;
    case Track:
        if (p >= 0 && p <= max - page + 1)
            next = tracked;
        break;
    case Top:
        next = 0;
        break;
    case Bottom:
        next = max - page;
        break;
    case EndScroll:
        break;
    }
    next = std::clamp(next, 0, lastTop());
    if (next == p)
        return false;
    m_pos = next;
    return true;
}

bool ChartScroll::wheel(int delta, int clientHeight)
{
    if (clientHeight > 953 || delta == 0)
        return false;
    const int moved = -delta / 120 * 100;
    const int next = std::clamp(m_pos + moved, 0, lastTop());
    if (next == m_pos)
        return false;
    m_pos = next;
    return true;
}
