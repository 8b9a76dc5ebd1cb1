#include "paper/PaperComposition.h"

#include "store/StoredNumbers.h"

namespace PaperRules {

QString normalisePoints(const QString &input)
{
    QString text = input;
    const int dot = text.indexOf(QLatin1Char('.'));
    if (dot >= 0 && text.size() - dot - 1 > 1)
        text.truncate(dot + 2);
    if (text.startsWith(QLatin1Char('.')))
        return QString();
    if (text.size() > 1 && text.at(0) == QLatin1Char('0') && text.at(1) != QLatin1Char('.'))
        text.remove(0, 1);
    return text;
}

bool acceptsPointsChar(const QString &text, QChar c)
{
    if (c.unicode() >= '0' && c.unicode() <= '9')
        return true;
    return c == QLatin1Char('.') && !text.contains(QLatin1Char('.'));
}

QString subtotal(const QString &points, const QString &count)
{
    if (points.isEmpty() || count.isEmpty())
        return QString();
    return QString::asprintf("%.1f", count.toDouble() * points.toDouble());
}

} // namespace PaperRules

TypeDraft::Result TypeDraft::add(const std::optional<QString> &subject, const QString &group,
                                 const QString &difficulty, const QString &points, const QString &count)
{
    if (group.isEmpty() || difficulty.isEmpty() || count.isEmpty())
        return Result::MissingData;
    if (hasRuleSeparator(group) || (subject && hasRuleSeparator(*subject)))
        return Result::BadName;
    const int n = count.toInt();
    if (!isEmpty()) {
        if (subject.value_or(QString()) != m_subject.value_or(QString()))
            return Result::SubjectDiffers;
        const int at = m_rule.segmentOf(group);
        if (at >= 0) {
            TypeRuleSegment &segment = m_rule.segments[at];
            for (const TypeRuleItem &item : segment.items)
                if (item.difficulty == difficulty)
                    return Result::Duplicate;
            segment.items << TypeRuleItem{difficulty, n};
        } else {
            m_rule.segments << TypeRuleSegment{group, {TypeRuleItem{difficulty, n}}};
        }
        return Result::Added;
    }
    if (points.isEmpty())
        return Result::MissingData;
    const double value = points.toDouble();
    if (value == 0)
        return Result::ZeroPoints;
    m_subject = subject;
    m_rule.points = value;
    m_rule.segments = {TypeRuleSegment{group, {TypeRuleItem{difficulty, n}}}};
    return Result::Added;
}

void TypeDraft::clear()
{
    m_rule = TypeRule();
    m_subject.reset();
}

QString TypeDraft::totalText() const
{
    return QString::asprintf("%.1f", total());
}

Paper composePaper(const QString &name, const QString &option, const QString &subject,
                   const TypeDraft (&drafts)[5], const QString &created)
{
    Paper p;
    p.name = name;
    p.option = option;
    p.subject = option == SubjectOption::All ? PaperSubjectText::None : subject;
    double full = 0;
    qint64 questions = 0;
    for (int i = 0; i < 5; ++i) {
        p.types[size_t(i)] = drafts[i].isEmpty() ? TypeRule::Empty : drafts[i].storedText();
        full += drafts[i].total();
        questions += drafts[i].questionCount();
    }
    p.total = QString::number(questions);
    p.fullMarks = fullMarksText(full);
    p.created = created;
    return p;
}
