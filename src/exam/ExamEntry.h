#pragma once
// The checks and working tables around entering an exam. No widgets.
#include <QString>

namespace ExamEntry {

enum class PaperCheck { Sound, Deleted, Tampered };
// The exampaper row named by the exam, checked against its code (for every
// subject option, 多科 included). Throws DbError.
PaperCheck checkPaper(const QString &paperName);

// ExamArrange holds at least one exam. Throws DbError.
bool anyExam();

// The working tables of personnel.mdb: created empty whether or not one
// was left behind; dropped. Failures are ignored.
void recreateInterim();
void recreateSheet();
void dropInterim();
void dropSheet();

// A stored pass mark as a whole number (its leading digits; none reads 0).
int passMarkValue(const QString &text);

} // namespace ExamEntry
