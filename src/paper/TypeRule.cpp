#include "paper/TypeRule.h"

namespace {

const QString kHead = QStringLiteral("每题");
const QString kPointsEnd = QStringLiteral("分。");

// The leading decimal number of a text (Jet's val), 0 when there is none.
double leadingNumber(const QString &text)
{
    int end = 0;
    bool dot = false;
    while (end < text.size()) {
        const QChar c = text.at(end);
        if (c.isDigit() && c.unicode() < 0x80)
            ++end;
        else if (c == QLatin1Char('.') && !dot) {
            dot = true;
            ++end;
        } else
            break;
    }
    return text.left(end).toDouble();
}

int leadingDigits(const QString &text)
{
    qint64 value = 0;
    for (QChar c : text) {
        if (!(c.isDigit() && c.unicode() < 0x80))
            break;
        value = value * 10 + c.digitValue();
        if (value > 1000000000)
            return 1000000000; // no bank holds more; keeps the sum of counts in range
    }
    return int(value);
}

} // namespace

int TypeRule::questionCount() const
{
    qint64 n = 0;
    for (const TypeRuleSegment &s : segments)
        for (const TypeRuleItem &i : s.items)
            n += i.count;
    return int(qMin<qint64>(n, 1000000000));
}

TypeRule TypeRule::parse(const QString &input)
{
    TypeRule rule;
    QString text = input;
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    if (text.startsWith(QLatin1Char('<'))) {
        const int close = text.indexOf(QLatin1Char('>'));
        if (close >= 0)
            text = text.mid(close + 1);
    }
    const int stop = text.indexOf(QStringLiteral("。"));
    if (stop < 0)
        return rule;
    QString head = text.left(stop);
    if (head.startsWith(kHead))
        head = head.mid(kHead.size());
    rule.points = leadingNumber(head);

    const QString body = text.mid(stop + 1);
    int pos = 0;
    while (pos < body.size()) {
        int end = body.indexOf(QLatin1Char(';'), pos);
        if (end < 0)
            end = body.size();
        const QString segment = body.mid(pos, end - pos);
        pos = end + 1;
        const int colon = segment.indexOf(QLatin1Char(':'));
        if (colon < 0)
            continue;
        TypeRuleSegment seg;
        seg.group = segment.left(colon);
        const QStringList items = segment.mid(colon + 1).split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (const QString &item : items) {
            if (seg.items.size() == 3)
                break;
            const int eq = item.indexOf(QLatin1Char('='));
            TypeRuleItem it;
            it.difficulty = eq < 0 ? item : item.left(eq);
            it.count = eq < 0 ? 0 : leadingDigits(item.mid(eq + 1));
            seg.items << it;
        }
        rule.segments << seg;
    }
    return rule;
}

bool TypeRule::isWellFormed(const QString &text)
{
    return !text.isEmpty() && parse(text).toStored() == text;
}

QString TypeRule::formatPoints(double points)
{
    return QString::asprintf("%.1f", points);
}

QString TypeRule::toStored() const
{
    if (segments.isEmpty())
        return Empty;
    QString out = kHead + formatPoints(points) + kPointsEnd;
    for (const TypeRuleSegment &s : segments) {
        out += s.group + QLatin1Char(':');
        for (const TypeRuleItem &i : s.items)
            out += i.difficulty + QLatin1Char('=') + QString::number(i.count) + QLatin1Char(',');
        out += QLatin1Char(';');
    }
    return out;
}

QString TypeRule::toShown(const std::optional<QString> &subject) const
{
    if (segments.isEmpty())
        return QString();
    QString out;
    if (subject)
        out += QLatin1Char('<') + *subject + QStringLiteral(">\n");
    out += kHead + formatPoints(points) + kPointsEnd;
    for (const TypeRuleSegment &s : segments) {
        out += QLatin1Char('\n') + s.group + QLatin1Char(':');
        for (const TypeRuleItem &i : s.items)
            out += i.difficulty + QLatin1Char('=') + QString::number(i.count) + QLatin1Char(',');
        out += QLatin1Char(';');
    }
    return out;
}

int TypeRule::segmentOf(const QString &group) const
{
    for (int i = 0; i < segments.size(); ++i)
        if (segments.at(i).group == group)
            return i;
    return -1;
}

bool hasRuleSeparator(const QString &name)
{
    static const QString separators = QStringLiteral(":;,=<>。\r\n");
    for (QChar c : name)
        if (separators.contains(c))
            return true;
    return false;
}
