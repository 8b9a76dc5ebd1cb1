#pragma once
// The paper records: Paper (a row of exampaper) and PaperSubject (a row of
// testpaper, one subject of a 多科 paper), and the operations on them.
#include "paper/TypeRule.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

class CADOConn;

namespace SubjectOption {
inline const QString Single = QStringLiteral("单科");
inline const QString Multi = QStringLiteral("多科");
inline const QString All = QStringLiteral("全科");
} // namespace SubjectOption

namespace PaperSubjectText {
inline const QString None = QStringLiteral("无");      // 全科
inline const QString Various = QStringLiteral("不定"); // 多科 summary row
} // namespace PaperSubjectText

struct Paper
{
    int id = 0; // exampaper only
    QString name;
    QString subject;
    std::array<QString, 5> types; // TypeRule texts, "空", or 多科 summary texts; in type order
    QString total;
    QString fullMarks;
    QString created;
    QString option;
    QString code;

    // The code of the row as it stands (name, five types, subject, total,
    // full marks, created time).
    QString computeCode() const;
    bool sealed() const { return !code.isEmpty() && code == computeCode(); }
};

using PaperSubject = Paper;

namespace PaperStore {

// Bank rows a rule can draw from; without the subject condition under 全科.
// Throws DbError (a missing or damaged bank table).
int availableCount(CADOConn &conn, const QString &type, const QString &subject, const QString &group,
                   const QString &difficulty, bool allSubjects);

bool nameExists(CADOConn &conn, const QString &name);
// The subject rows (testpaper) of a 多科 paper, in the order stored.
QList<PaperSubject> subjectRows(CADOConn &conn, const QString &name);

// Writes a Paper (toSubjectTable false) or a PaperSubject row with its code.
// Throws DbError.
void savePaper(CADOConn &conn, Paper paper, bool toSubjectTable);

// Writes the summary row of a 多科 paper from its subject rows: 总题数 as a
// whole number ("30"), 满分 with one decimal ("60.0"). Throws DbError.
Paper finishMultiSubjectPaper(CADOConn &conn, const QString &name, const QString &created);

// Removes every subject row of a 多科 paper, all or none. Throws DbError.
void deleteSubjectRows(CADOConn &conn, const QString &name);

// Every exampaper row in the order stored.
QList<Paper> readPapers(CADOConn &conn);
std::optional<Paper> readPaper(CADOConn &conn, int id);
// The first exampaper row of the given name. Throws DbError.
std::optional<Paper> readPaperNamed(CADOConn &conn, const QString &name);

// Deletes an exampaper row and, for a 多科 paper, its subject rows, in one
// transaction. False when there was no such row. Throws DbError.
bool deletePaper(CADOConn &conn, int id);

// "单选题包含%d个科目" … or "空" when no subject row has the type.
QString summaryText(const QString &type, int subjects);

} // namespace PaperStore
