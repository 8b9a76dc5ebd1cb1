#pragma once
// The rules of the composition screen without its widgets: the points
// filter, the draft rule of each type, and the paper row a save writes.
#include "paper/Paper.h"
#include "paper/TypeRule.h"

#include <QString>

#include <optional>

namespace PaperRules {

// Normalises the points box after a change: more than one decimal is cut
// (2.56 -> 2.5), a leading "." empties it, a leading "0" not followed by "."
// goes (05 -> 5).
QString normalisePoints(const QString &text);

// Whether a typed character may enter the points box holding text.
bool acceptsPointsChar(const QString &text, QChar c);

// "%.1f" of count × points; empty unless both are given.
QString subtotal(const QString &points, const QString &count);

} // namespace PaperRules

// The rule of one type being composed.
class TypeDraft
{
public:
    enum class Result {
        Added,
        MissingData,    // "数据不能为空！"
        BadName,        // a subject or group that would not read back
        SubjectDiffers, // "科目选择应该相同！"
        Duplicate,      // "一个对象同一难度只能选择一次！"
        ZeroPoints,     // "分值不能为0！"
    };

    // Adds the item group/difficulty=count. subject is nullopt under 全科.
    Result add(const std::optional<QString> &subject, const QString &group, const QString &difficulty,
               const QString &points, const QString &count);
    void clear();

    bool isEmpty() const { return m_rule.isEmpty(); }
    const TypeRule &rule() const { return m_rule; }
    QString shownText() const { return m_rule.toShown(m_subject); }
    QString storedText() const { return m_rule.toStored(); }
    int questionCount() const { return m_rule.questionCount(); }
    // points × question count, as a number and as shown ("%.1f").
    double total() const { return m_rule.points * questionCount(); }
    QString totalText() const;

private:
    TypeRule m_rule;
    std::optional<QString> m_subject;
};

// The paper row a save writes from the five drafts.
Paper composePaper(const QString &name, const QString &option, const QString &subject,
                   const TypeDraft (&drafts)[5], const QString &created);
