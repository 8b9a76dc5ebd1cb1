#pragma once
// The one source of "now" for every screen. Tests fix it.
#include <QDateTime>
#include <QString>

class Clock
{
public:
    static QDateTime now();

    // Test seam: a fixed time (invalid QDateTime = back to the system clock).
    static void setFixed(const QDateTime &when);
    // Moves the fixed time and the monotonic time on together.
    static void advance(qint64 seconds);

    // Milliseconds of a monotonic timer (QElapsedTimer): setting the wall
    // clock changes nothing here. With a fixed time it moves only by advance().
    static qint64 monotonicMs();

    // "%Y/%m/%d %X"
    static QString formatSlash(const QDateTime &t);
    // "%Y/%m/%d　%X" with the ideographic space U+3000
    static QString formatSlashWide(const QDateTime &t);
    // "%Y年%m月%d日　%X"
    static QString formatChinese(const QDateTime &t);
    // "%X" = HH:MM:SS
    static QString formatTime(const QDateTime &t);

    // Reads the date and time texts the program stores ("2019/05/20 08:30",
    // also with seconds or "-" separators) as local time; invalid when the
    // text is no date.
    static QDateTime parseLocal(const QString &text);
};
