#pragma once
// The checks of the examinee entry on the start screen: every exam's code
// (ending the exams whose end has passed), the presence of registrations and
// roster counters, and the code of every open registration. No widgets.
#include <QDateTime>
#include <QString>

class CADOConn;
class CRecordset;

namespace ExamineeEntry {

enum class Outcome {
    Ready,                // the examinee screen may open
    NoConnection,         // personnel.mdb could not be opened (already reported)
    NoExam,               // ExamArrange is empty: stay
    ExamTampered,         // an exam fails its code: the program ends
    RegistrationsMissing, // ExamRegister or JoinExam is empty: the program ends
    RegistrationTampered, // an open registration fails its code: the program ends
};

struct Result
{
    Outcome outcome = Outcome::Ready;
    int endedExams = 0; // exams ended (and resealed) by this run
};

// Runs the checks in their fixed order with now taken once by the caller.
// Database errors propagate as DbError; exams ended before the error stay
// ended (each ending is its own transaction).
Result check(const QDateTime &now);

// An open exam whose end, read as local time, is not later than now (within
// half a second). An end text that is no date never makes an exam due.
bool isDue(const QString &validity, const QString &endTime, const QDateTime &now);

} // namespace ExamineeEntry
