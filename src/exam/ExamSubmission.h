#pragma once
// submitExam without the window: scores the exam table against the answer
// key and, for a formal exam, writes the result into the registration and
// every essay answer into quesAndAns in one transaction.
#include "exam/ExamHandover.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

struct SubmitRequest
{
    ExamHandover exam;
    QStringList keyEntries;
    int timeUsed = 0;
    QDateTime at; // time of the exam
};

struct SubmitResult
{
    enum Outcome {
        Stored,           // formal exam: result and essay rows written
        Mock,             // nothing stored
        RegistrationGone, // formal exam whose registration no longer exists: nothing stored
        AlreadySubmitted, // handed in already (on another station): nothing stored
    } outcome = Mock;
    double total = 0;
    QString score;
    bool essays = false;
    QString timeUsed;
    QString examTime;
    QString code; // the result code
};

namespace ExamSubmission {

// Throws DbError when a write fails; nothing is then stored.
SubmitResult submit(const SubmitRequest &request);

// The result message and whether it carries the essay note.
QString resultMessage(const ExamHandover &exam, const SubmitResult &result);

// Test seam: called with "result" after the registration is written and
// with "essay" after each essay row, inside the transaction.
void setStageHook(std::function<void(const char *stage)> hook);

} // namespace ExamSubmission
