#pragma once
// Exam generation: draws a paper's questions at random from the bank into
// the working table interim, numbers them by type into exam, and collects
// the reference answers as the answer key. No widgets.
//
// Writes go to personnel.mdb in one transaction, so a build that stops
// (too few questions, a broken rule, a database error) leaves interim and
// exam as they were: empty.
#include "exam/ExamMode.h"
#include "store/CADOConn.h"

#include <QString>

namespace ExamBuild {

enum class Outcome {
    Built,
    NoConnection,  // a file could not be opened (already reported)
    NoPaper,       // no paper row of that name: the program ends
    Shortage,      // the bank cannot supply a rule item: the program ends
    MalformedRule, // a rule text composition would not have written: the exam is refused
};

struct Result
{
    Outcome outcome = Outcome::Built;
    QString answerKey; // each reference answer in 编号 order, followed by "|"
    int questions = 0; // rows written to exam
    QString type;      // the type short of questions, or whose rule is malformed
};

// The message of an outcome; caption and kind are the screen's.
QString message(const Result &result);

} // namespace ExamBuild

class ExamBuilder
{
public:
    // The whole build: reads the paper's rows (testpaper for 多科, else
    // exampaper), checks every rule text, then draws rows, types, segments
    // and items in stored order and copies the types into exam in the fixed
    // order, essays only in a formal exam. interim and exam must exist and
    // be empty. Throws DbError (a missing bank table, say); nothing is kept then.
    static ExamBuild::Result buildExam(ExamMode examMode, const QString &paperName, const QString &option);

    // The steps, for a builder whose connections are open and whose
    // transaction is running.
    bool open();
    // Copies the interim rows of a type into exam in a random order,
    // numbered from firstNumber; returns their answers, each followed by "|".
    QString copyTypeToExam(const QString &type, int firstNumber, int *copied = nullptr);

    CADOConn &questions() { return m_questions; }
    CADOConn &personnel() { return m_personnel; }

    // A rule text a paper may hold: "空" or empty (no questions), or exactly
    // what composition writes.
    static bool isUsableRule(const QString &text);

private:
    CADOConn m_questions;
    CADOConn m_personnel;
};
