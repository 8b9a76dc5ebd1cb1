#pragma once
// Entering a formal exam with its stored sitting: a fresh exam is stored as
// drawn; an exam entered again goes on with the same questions, answers and
// time left; an exam whose end passed while it was interrupted is handed in
// with the answers saved. No widgets.
#include "exam/ExamHandover.h"
#include "exam/ExamSubmission.h"

#include <QDateTime>
#include <QString>

namespace ExamSitting {

// The exam's own time in seconds from the stored limit (minutes); anything
// but a positive number is no time.
int limitSeconds(const QString &timeLimit);

struct Entry
{
    enum Outcome {
        Fresh,     // no running sitting: draw a new exam
        Resumed,   // exam rebuilt from the sitting; handover filled in
        Tampered,  // the sitting fails its code: not entered
        HandedIn,  // the exam's end passed meanwhile: the saved answers were submitted
        Busy,      // the examinee sits this exam on another station right now
        Taken,     // handed in already (on another station, after this list was shown)
    } outcome = Fresh;
    ExamHandover handover;
    int secondsLeft = 0;
    SubmitResult result; // HandedIn
};

// For a formal exam chosen in the list; ended = the exam's end has passed.
// The registration is held by this station from here until it is handed in
// or the program ends. Throws DbError.
Entry enter(const ExamHandover &chosen, bool ended, const QDateTime &now);

// Stores the sitting of a freshly drawn formal exam (the working table exam
// and the answer key); returns its ID. Throws DbError.
int start(const ExamHandover &handover, const QString &examNo, const QDateTime &now);

// Lets another station enter the registration (the examinee left the exam
// without handing it in).
void release(const QString &registrationId);

// What the examinee reads after HandedIn.
QString handedInMessage(const ExamHandover &exam, const SubmitResult &result);

} // namespace ExamSitting
