#pragma once
// Score query: the integrity check of every result and roster, the searches,
// the ranking of one exam, the pass rule and the shown texts. No widgets.
#include "store/TextTable.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One scored registration of ExamRegister, its fields as stored.
struct ScoreRow
{
    QString id;
    QString name;
    QString department;
    QString post;
    QString score;
    QString passMark;
    QString timeUsed;
    QString examTime;
    QString examName;
    std::optional<QString> essay; // 问答题; nullopt = null
};

// Scored registrations in list order, packed: the score query may list a
// hundred thousand of them, and the list makes its texts only for the rows
// it shows.
class ScoreList
{
public:
    int size() const { return m_fields.size(); }
    bool isEmpty() const { return m_fields.isEmpty(); }
    void clear() { m_fields.clear(); }
    void append(const ScoreRow &row);
    // Gives back the room kept for growth once every row is in.
    void squeeze() { m_fields.squeeze(); }
    ScoreRow at(int i) const;

    // For range-for; a row is made as it is reached.
    class const_iterator
    {
    public:
        const_iterator(const ScoreList *list, int i) : m_list(list), m_i(i) {}
        ScoreRow operator*() const { return m_list->at(m_i); }
        const_iterator &operator++()
        {
            ++m_i;
            return *this;
        }
        bool operator!=(const const_iterator &other) const { return m_i != other.m_i; }

    private:
        const ScoreList *m_list;
        int m_i;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    TextTable m_fields{10};
};

namespace ScoreQuery {

enum class Verification {
    Sound,
    RosterTampered,  // an exam's JoinExam counters do not match its registrations
    ResultTampered,  // a scored registration fails its result code
};
// Counters of every exam number in ExamRegister (no or several JoinExam
// rows count as tampering), then the code of every scored registration.
// When sound, scored receives those rows in table order, so showing them
// all needs no second read. Throws DbError.
Verification verify(ScoreList *scored = nullptr);

// Distinct exam names of the scored registrations, in the order found.
QStringList scoredExamNames();
// Essay answers waiting for marking.
int waitingEssays();

struct Fields
{
    QString name;
    QString department;
    QString post;
    QString examName;
};

enum class Found {
    Rows,
    AllEmpty,        // no field filled
    OnlyPost,        // only a post: no condition can be built
    NoRegistrations, // ExamRegister is empty (no message)
    NoScores,        // no registration has a score
    NoMatch,
};
// The scored registrations matching the filled fields; a post counts only
// together with a department.
Found query(const Fields &fields, ScoreList *rows);
// Every scored registration in table order; given the rows verify read,
// they are taken as they are.
Found showAll(ScoreList *rows, const ScoreList *verified = nullptr);

enum class Ranked { Rows, NoExamName, NoResults };
// One exam's results with score and time used: highest score first, then
// the shorter time used; equal rows in table order.
Ranked rank(const QString &examName, ScoreList *rows);

// "不定" while essays wait (问答题 neither null nor empty); "是" when the score is strictly above the pass
// mark read as a whole number; "否" otherwise.
QString passFlag(const ScoreRow &row);
// Whole seconds as "%02d:%02d:%02d" (hours may exceed 99); empty stays
// empty, any other text that is no whole number is shown as stored.
QString timeUsedText(const QString &seconds);
// Columns 1 to 9 of the result list for the row at a position (from 1).
QStringList listColumns(int position, const ScoreRow &row);

// 试卷名称 of the exam's ExamArrange row; empty when the exam is gone.
QString paperNameOf(const QString &examName);

// Text read as a number the way the stored texts are read: the longest
// leading decimal number, 0 when there is none.
double leadingNumber(const QString &text);

} // namespace ScoreQuery
