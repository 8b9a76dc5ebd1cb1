#include "store/Clock.h"

#include <QElapsedTimer>
#include <QRegularExpression>

namespace {
QDateTime g_fixed;
qint64 g_fixedMonotonic = 0;
}

QDateTime Clock::now()
{
    if (g_fixed.isValid())
        return g_fixed;
    return QDateTime::currentDateTime();
}

void Clock::setFixed(const QDateTime &when)
{
    g_fixed = when;
}

void Clock::advance(qint64 seconds)
{
    if (g_fixed.isValid()) {
        g_fixed = g_fixed.addSecs(seconds);
        g_fixedMonotonic += seconds * 1000;
    }
}

qint64 Clock::monotonicMs()
{
    if (g_fixed.isValid())
        return g_fixedMonotonic;
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.elapsed();
}

QString Clock::formatSlash(const QDateTime &t)
{
    return t.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

QString Clock::formatSlashWide(const QDateTime &t)
{
    return t.toString(QStringLiteral("yyyy/MM/dd")) + QChar(0x3000) + t.toString(QStringLiteral("HH:mm:ss"));
}

QString Clock::formatChinese(const QDateTime &t)
{
    return t.toString(QStringLiteral("yyyy年MM月dd日")) + QChar(0x3000) + t.toString(QStringLiteral("HH:mm:ss"));
}

QString Clock::formatTime(const QDateTime &t)
{
    return t.toString(QStringLiteral("HH:mm:ss"));
}

QDateTime Clock::parseLocal(const QString &text)
{
    static const QRegularExpression re(QStringLiteral(
        "^\\s*(\\d{4})[/-](\\d{1,2})[/-](\\d{1,2})(?:[\\s\\x{3000}]+(\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?\\s*$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return QDateTime();
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    QTime time(0, 0, 0);
    if (!m.captured(4).isEmpty())
        time = QTime(m.captured(4).toInt(), m.captured(5).toInt(),
                     m.captured(6).isEmpty() ? 0 : m.captured(6).toInt());
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::LocalTime);
}
