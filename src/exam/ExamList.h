#pragma once
// The exam lists of the examinee screen: the formal exams one person is
// registered for and has not taken, and the exams open for practice. Every
// row listed has passed its integrity checks; the first failed check stops
// the listing and says why. No widgets.
#include <QDateTime>
#include <QList>
#include <QString>

// One row of the exam list, in the order of its columns.
struct ExamListRow
{
    QString name;
    QString start; // as stored
    QString end;
    QString status; // "已结束" when the end has passed, else empty
    QString timeLimit;
    QString passMark;
    QString paper;
    QString option;         // the paper's 科目选项
    QString registrationId; // formal list: the registration's ID; mock list: empty
    QString examNumber;
};

namespace ExamList {

inline const QString Ended = QStringLiteral("已结束");

enum class Outcome {
    Listed,
    NoConnection,         // a file could not be opened (already reported)
    RegistrationTampered, // a registration fails its code: the program ends
    CountersNotOneRow,    // not exactly one JoinExam row: the program ends
    CountersDiffer,       // the counters disagree with the registrations: the program ends
    ExamMissing,          // a registration's exam is gone: the listing stops, the program goes on
    ExamTampered,         // an exam fails its code: the program ends
    PaperMissing,         // a listed exam's paper is gone: the program ends (examName says which)
};

struct Result
{
    Outcome outcome = Outcome::Listed;
    QList<ExamListRow> rows; // the rows listed before the outcome
    QString examName;       // the exam whose paper is missing
};

// Whether an exam has begun: its start, read as local time, is less than
// half a second after now. A start that is no date has never begun.
bool hasBegun(const QString &start, const QDateTime &now);
// Whether an exam's end has passed. An end that is no date counts as passed,
// so an exam whose window cannot be read is never entered.
bool hasEnded(const QString &end, const QDateTime &now);

// The open registrations of one person (name, department and post exactly
// as given), each checked with its roster counters and its exam. Throws
// DbError.
Result queryFormal(const QString &name, const QString &department, const QString &post, const QDateTime &now);

// Every exam without essay questions (empty 备注) that has begun. Throws
// DbError.
Result queryMock(const QDateTime &now);

// The timed message of an outcome that stops the listing ("" for Listed).
QString message(const Result &result);

} // namespace ExamList
