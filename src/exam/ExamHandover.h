#pragma once
// What the examinee screen hands to the exam window when an exam is entered
// (through the navigation table): the answer key and the exam's values.
#include "exam/ExamMode.h"

#include <QString>

struct ExamHandover
{
    QString answerKey; // each reference answer in 编号 order, followed by "|"
    QString examName;
    QString timeLimit;      // minutes, as stored
    QString registrationId; // empty in a mock exam
    ExamMode examMode = ExamMode::Mock;
    int passMark = 0;
    int sittingId = 0;    // the stored sitting of a formal exam; 0 = none
    bool resumed = false; // entered again: the sitting goes on

    // The number of questions in the exam table: one key entry each.
    int questionCount() const { return int(answerKey.count(QLatin1Char('|'))); }
};
