#pragma once
// Exam management: the list of exams with the ending of due exams, the
// deletion of an exam with everything stored for it, and the registrations
// of one exam with their checks, removal and adding. No widgets.
#include "admin/Roster.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

struct ListedExam
{
    QString number; // 考试号 as text
    QString name;
    QString start;
    QString end;
    QString paper;
    QString passMark;
    QString validity; // 时效 as loaded
};

struct ListedRegistration
{
    int id = 0;
    QString name;
    QString department;
    QString post;
    bool taken = false; // 成绩 is not null
    QString sitting;    // the status of its stored sitting (empty: nothing to say)
    bool inProgress = false; // a running sitting the administrator may extend or discard
};

namespace ExamManagement {

enum class Listing { Sound, Tampered };
// Every exam in table order. An exam whose code is sound, still open and
// due is ended and resealed; the list shows the values as loaded. Stops at
// the first exam that fails its code, which is never ended. Throws DbError.
Listing loadExams(const QDateTime &now, QList<ListedExam> *exams);

// The exam row, its registrations (with their scores), its counters and its
// essay answers, in one transaction. Throws DbError.
void deleteExam(int number);

enum class View {
    Shown,
    NoExams,              // ExamArrange is empty: nothing to show
    NoCounters,           // JoinExam is empty
    CounterRowsNotOne,    // not exactly one JoinExam row for the exam
    CountDiffers,         // 考生质量 is not the number of registrations
    RegistrationTampered, // an open registration fails its code
};
// The registrations of an exam after the counter and code checks.
View viewRegistrations(int number, QList<ListedRegistration> *rows);
// The registrations without checks.
QList<ListedRegistration> registrations(int number);

// Names of the roster rows not registered for the exam, one per row.
QStringList unregisteredNames(int number);
// The first unregistered roster row with that name.
std::optional<RosterPerson> unregisteredPerson(const QString &name, int number);

// Removes open registrations of the exam and lowers its counters by one for
// each, in one transaction; registrations with a score are never removed.
// Returns how many were removed.
int removeRegistrations(const QList<int> &ids, int number);

enum class Register { Registered, Missing, Ended };
// Registers one person, sealed, and raises the exam's counters, in one
// transaction.
Register registerPerson(const QString &name, const QString &department, const QString &post,
                        const QString &examName, const QString &number, const QString &passMark);

// The administrator's decisions on a registration's running sitting, each
// sealed in one transaction.
enum class SittingChange { Done, NotRunning, Tampered };
SittingChange extendSitting(int registrationId, int minutes);
SittingChange restartSitting(int registrationId);

} // namespace ExamManagement
