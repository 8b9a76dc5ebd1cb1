#pragma once
// The rule text of one question type in a paper (TypeRule):
//   每题<points>分。<group>:<difficulty>=<count>,...;<group>:...;
// Written by composition, read by exam generation, the printed paper and the
// examinee's exam list. Every reader goes through parse(), so they agree.
#include <QList>
#include <QString>

#include <optional>

struct TypeRuleItem
{
    QString difficulty;
    int count = 0;
};

struct TypeRuleSegment
{
    QString group;
    QList<TypeRuleItem> items; // in the order entered
};

class TypeRule
{
public:
    // "空": the paper has no question of the type.
    static inline const QString Empty = QStringLiteral("空");

    double points = 0;                // per question
    QList<TypeRuleSegment> segments;  // in the order the groups were first used

    bool isEmpty() const { return segments.isEmpty(); }
    int questionCount() const;

    // Reads a stored (or shown) rule. It always ends and never fails:
    // - no "。" (also "空" or an empty text): no segments, points 0;
    // - points: the leading number between "每题" and "分" (none reads 0);
    // - a last segment without ";" or a last item without "," runs to the end;
    // - a segment without ":" is skipped; an item's count is its leading
    //   digits (none reads 0); an empty item is skipped; at most three items
    //   a segment are read, as exam generation draws them.
    // Shown texts are read too: a "<subject>" prefix and line breaks are
    // dropped first.
    static TypeRule parse(const QString &text);

    // True when the text is exactly what toStored() writes for it.
    static bool isWellFormed(const QString &text);

    // The stored form, or "空" when there is no segment.
    QString toStored() const;
    // The form shown on the composition screen: "<subject>" and a line break
    // unless there is no subject (全科), line breaks after "分。" and between
    // segments.
    QString toShown(const std::optional<QString> &subject) const;

    // Finds the segment of a group by its exact name; -1 when none.
    int segmentOf(const QString &group) const;

    // Points as written: one decimal ("%.1f").
    static QString formatPoints(double points);
};

// The characters that carry the rule's structure; a subject or an audience
// group containing one would read back differently.
bool hasRuleSeparator(const QString &name);
