#pragma once
// Manual marking of essay answers: the answers waiting, the points field's
// rules, and a confirmed mark with the registration's new score and code.
// No widgets.
#include "store/TextTable.h"

#include <QList>
#include <QString>

#include <optional>
#include <vector>

// One row of quesAndAns.
struct EssayAnswer
{
    int id = 0;
    QString name;
    QString department;
    QString post;
    QString examName;
    QString stem;
    QString reference;
    QString answer;
    QString points;         // 分值 as stored
    QString examineeNumber; // 考生编号: the registration's ID as text
    // The most the answer can earn: its 分值, but never more than the essay
    // points of its exam's sealed paper (the essay row carries no code).
    // nullopt when no sealed rule is found: the registration, its exam or
    // its paper is gone, or the paper fails its code.
    std::optional<double> value;
};

// Essay answers in list order, packed: a hundred thousand may wait, and
// their list makes texts only for the rows it shows. The reference and the
// examinee's answer, the longest texts by far, are not kept: readTexts
// fetches them for the one answer shown. The values are kept once per
// registration.
class EssayList
{
public:
    int size() const { return int(m_ids.size()); }
    bool isEmpty() const { return m_ids.empty(); }
    EssayAnswer at(int i) const;

    // Adds an answer as read, its value left to the bound of its
    // registration's slot: the bounds are known once every row is in.
    void append(const EssayAnswer &answer, int slot);
    void setBounds(std::vector<std::optional<double>> bounds);
    // Gives back the room kept for growth once every row is in.
    void squeeze();

private:

    std::vector<int> m_ids;
    std::vector<int> m_registrations; // per row, its slot in m_bounds
    std::vector<std::optional<double>> m_bounds; // per registration: its paper's essay points
    TextTable m_texts{7};
};

namespace Marking {

// Every essay answer waiting, in table order, with its value; read row by
// row. Throws DbError.
EssayList waiting();
// Fills in the reference and the examinee's answer of a listed answer; false
// when its row is gone (marked meanwhile). Throws DbError.
bool readTexts(EssayAnswer *answer);
// The value as shown: 分值 as stored unless the paper allows less.
QString valueText(const EssayAnswer &answer);

// Whether a typed character may enter the points field holding current:
// digits always, "." only while there is none yet. (Backspace is no
// character and always passes.)
bool acceptsChar(const QString &current, QChar c);
// The points field after a change: more than one decimal is cut (2.57
// gives 2.5, 2.50 stays), a leading "." empties it, a leading "0" before a
// digit goes (05 gives 5). Anything but digits and the first "." is dropped.
QString corrected(const QString &text);
// The award in the field; empty is 0.
double award(const QString &text);

enum class Outcome {
    Marked,
    RegistrationMissing,
    NoSealedValue, // no sealed paper rule tells what the essay is worth
    AboveValue,    // the award is more than the essay's value
    AlreadyMarked, // the essay row is gone: another marker confirmed it first
};
// In one transaction: deletes the essay row, adds the award to the
// registration's score, reseals it with the result code over the
// registration's own fields and sets 问答题 to "有" while answers of the
// registration remain, else to null. An answer whose row is gone adds
// nothing: its points are in the score already. The paper's bound on the value is
// read afresh, not taken from the answer given. Unless Marked nothing is
// changed. Throws DbError
// (and then nothing is changed either).
Outcome mark(const EssayAnswer &answer, double award);

} // namespace Marking
