#pragma once
// The subject catalogue (table Subject of questions.mdb) and the subjects
// the question bank actually uses. Database failures of reads and of the
// writes that must not fail silently arrive as DbError.
#include <QList>
#include <QString>
#include <QStringList>

struct SubjectRow
{
    int id = 0;
    QString name;
};

namespace Subjects {

// Every row of "select * from Subject" in the order returned.
QList<SubjectRow> readRows();
// The catalogue as lists offer it: one name per row, unsorted, duplicates kept.
QStringList readSubjects();

enum class AddResult { Empty, Exists, Added };
// Adds a subject unless it is empty or already there (compared exactly).
AddResult add(const QString &name);
// Deletes every subject, in one transaction.
void clear();
// Deletes one subject; a failure is ignored. Questions keep their subject.
void remove(int id);

// The subjects found in the five question tables: all of the single-choice
// table, then from each other table only those that no listed entry already
// begins with (letter case aside).
QStringList usedInBank();

} // namespace Subjects
