#pragma once
// Exam creation: the stored papers offered for an exam, the people of the
// roster to choose from, and the writing of an exam with its registrations
// and roster counters, each sealed with its integrity code. No widgets.
#include <QDate>
#include <QList>
#include <QString>
#include <QTime>

#include <functional>

// A row of exampaper as the paper list shows it.
struct StoredPaper
{
    QString name;
    QString subject;
    QString questionCount;
    QString fullMarks;
    QString created;
    QString essay; // the 问答题 rule, "空" without essay questions
};

struct ExamCandidate
{
    QString name;
    QString department;
    QString post;
    bool operator==(const ExamCandidate &) const = default;
};

// What the screen collected for one exam.
struct ExamRequest
{
    QString name;
    QString start; // "2019/05/20 08:30"
    QString end;
    QString timeLimit; // minutes, as typed (digits)
    QString passMark;  // as typed (digits)
    QString paper;     // the chosen paper's name, empty when none
    QString fullMarks; // the chosen paper's 满分
    QString essay;     // the chosen paper's 问答题
};

namespace ExamCreation {

enum class Papers { Sound, Tampered };
// Every row of exampaper in table order, each checked against its code;
// stops at the first row that fails. Throws DbError.
Papers loadPapers(QList<StoredPaper> *papers);

// "yyyy-MM-dd" with "/" for "-", a space, "HH:mm".
QString timeText(const QDate &date, const QTime &time);

// The longest time limit an exam may have, in minutes: a day. The exam
// window holds the keyboard for as long as the exam runs.
inline constexpr int MaxTimeLimit = 1440;

enum class Outcome {
    Created,
    NoName,
    NoTimeLimit,
    NoPaper,
    NoPassMark,
    PassMarkAboveFullMarks,
    TimeLimitTooLong, // more than MaxTimeLimit minutes
    ZeroTimeLimit,    // an exam that would never time out
    EndNotAfterStart, // an exam that could never be taken
    NameExists,
    NoPaperOrPeople,
    PaperGone, // the paper was deleted after the screen listed it
};

// The checks in their fixed order; Created when the exam may be written.
// Reads ExamArrange and exampaper. Throws DbError.
Outcome check(const ExamRequest &request, int chosenPeople);

// Checks, then writes the exam row, one registration per person (a person
// chosen twice keeps the first), and the roster counters, all in one
// transaction. The pass mark and the time limit are stored as plain whole
// numbers ("060" as "60"), so every later writer of a code over the pass
// mark writes the same text. examNo receives the new exam number. Throws DbError; nothing
// is written then.
Outcome create(const ExamRequest &request, const QList<ExamCandidate> &people, int *examNo = nullptr);

QString message(Outcome outcome);

// Test seam: called inside the transaction after the exam row ("exam") and
// after the registrations ("registrations"), before the commit.
void setStageHook(std::function<void(const char *stage)> hook);

} // namespace ExamCreation
