#pragma once
// The score chart: the results sheet drawn at fixed coordinates from a
// ChartSelection, its saving as a 32-bit BMP, and the scrolling rules of
// its window. No widgets.
#include "results/ChartSelection.h"

#include <QDate>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <algorithm>

class QPainter;

// One table row of the sheet.
struct ChartRow
{
    QString rowNumber;
    QString name;
    QString department;
    QString post;
    QString score;
    QString passFlag;
    QString examDate;
    QString timeUsed;
};

namespace ScoreChart {

// The sheet's size: the page picture's.
inline constexpr QSize kSheet{656, 928};

// The text before the first ";" (empty when there is none); the item and its
// ";" leave the front of the list.
QString takeItem(QString &list);
// One row per ";" of names; shorter lists give empty cells.
QList<ChartRow> rows(const ChartSelection &selection);
// Text of a name, department or post cell: one line up to 14 GB18030 bytes,
// else two lines of at most 14 bytes each, never splitting a character;
// anything beyond is not drawn.
QStringList cellLines(const QString &text);
// Top of the organisation line under N rows.
int organisationTop(int rows);

// Draws the sheet of the given size, dated today.
void render(QPainter &painter, const ChartSelection &selection, const QDate &today);
QImage renderImage(const ChartSelection &selection, const QSize &size, const QDate &today);
// Saves the sheet as a 32-bit BMP; false when it cannot be written: a file
// already at path then stays as it was and *error says why.
bool save(const ChartSelection &selection, const QSize &size, const QDate &today, const QString &path,
          QString *error = nullptr);

// The saved file: the chosen path with ".bmp" appended, always.
QString targetPath(const QString &chosen);

} // namespace ScoreChart

// The vertical scroll position of the chart window: range 0 to kMax with a
// page of the client height less the toolbar strip.
class ChartScroll
{
public:
    static constexpr int kMax = 933;
    enum Request { LineUp, LineDown, PageUp, PageDown, Track, Top, Bottom, EndScroll };

    int position() const { return m_pos; }
    int page() const { return m_page; }
    // A new page; the position stays where it was, within the range.
    void setPage(int page);
    // Applies a request (Track moves to tracked); true when the position changed.
    bool scroll(Request request, int tracked = 0);
    // Mouse wheel, delta in wheel units (120 a notch, positive = up); only
    // while the client height is at most 953. True when the position changed.
    bool wheel(int delta, int clientHeight);

private:
    int lastTop() const { return std::max(0, kMax - m_page); }
    int m_pos = 0;
    int m_page = 0;
};
