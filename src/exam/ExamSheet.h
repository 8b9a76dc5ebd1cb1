#pragma once
// The working table exam of a running exam, as the exam window reads and
// writes it: every display, save and paint reads it afresh, so an answer is
// in the file the moment it is saved.
#include "exam/ExamRules.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

class CADOConn;

struct ExamQuestion
{
    int number = 0; // 编号
    QString type;
    std::optional<QString> stem;
    std::array<std::optional<QString>, 5> options; // A..E
    std::optional<QString> answer;                 // null = unanswered
    QString points;                                // 分值 as stored
    std::optional<QString> picture;
};

namespace ExamSheet {

// Rows of each type in the fixed type order.
std::array<int, 5> typeCounts(CADOConn &personnel);
int count(CADOConn &personnel);
std::optional<ExamQuestion> load(CADOConn &personnel, int number);
// Every row in 编号 order.
QList<ExamQuestion> all(CADOConn &personnel);
// 编号 of the answered rows.
QList<int> answeredNumbers(CADOConn &personnel);
// Applies a save decision to the row of number; throws DbError.
void apply(CADOConn &personnel, int number, const SaveDecision &decision);
// "Drop Table exam"; its failure is ignored.
void drop();

// The picture file of a picture name.
QString picturePath(const QString &picture);

} // namespace ExamSheet
