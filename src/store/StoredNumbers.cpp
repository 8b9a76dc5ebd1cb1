#include "store/StoredNumbers.h"

#include <charconv>

QString scoreText(double score)
{
    // "%.1f" as C writes it: the binary value rounded half to even (1.25 is
    // 1.2), whatever the locale. Qt's own formatting rounds such ties up.
    char buf[400]; // the longest double in fixed notation is 309 digits
    const auto [end, error] = std::to_chars(buf, buf + sizeof buf, score, std::chars_format::fixed, 1);
    QString text = error == std::errc() ? QString::fromLatin1(buf, end - buf) : QStringLiteral("0");
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot >= 0 && text.endsWith(QLatin1Char('0')))
        text.truncate(dot);
    return text;
}

QString fullMarksText(double marks)
{
    return QString::asprintf("%.1f", marks);
}

QString pointsText(double points)
{
    return QString::number(points, 'g', 15);
}
