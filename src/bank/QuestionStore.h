#pragma once
// Writing and removing questions: the checks of a question entered by hand,
// the duplicate test, the insert, the picture name, deletion and clearing.
#include "bank/Question.h"

#include <QString>

#include <optional>

class CADOConn;

// What the entry screen holds when 添加 is pressed.
struct ManualEntry
{
    QString subject;
    QString type;
    QString difficulty;
    QString audience;
    QString judgeAnswer; // the true/false list: "A", "B" or ""
    QString stem;
    std::array<QString, 5> options; // the five option boxes
    QString answerBox;

    // The row this entry stores (ID 0, no picture).
    Question toQuestion() const;
};

// A refused entry: the message and its caption.
struct Refusal
{
    QString text;
    QString caption;
};

namespace QuestionStore {

// The checks of an entry, in their fixed order; none when it may be added.
std::optional<Refusal> checkEntry(const ManualEntry &entry);

// True when the type's table already holds the question. Choice types
// compare 科目, 题型, 题干, 答案 and A–E; the other types compare 科目, 题型,
// 题干 and the 答案 they store. Null and empty options count as equal.
bool isDuplicate(CADOConn &conn, const Question &q);

// Appends the question; returns its ID. Throws DbError.
int insert(CADOConn &conn, const Question &q);

// Sets 图片 of the question (type, id) to its picture name.
void setPicture(CADOConn &conn, const QString &type, int id, const QString &pictureName);

// Deletes the picture file of (type, id); true when a file was deleted.
bool deletePictureFile(const QString &type, const QString &id);

// Deletes the question (type, id); errors are ignored.
void deleteQuestion(const QString &type, int id);

enum class ClearResult { AlreadyEmpty, Cleared };
// Deletes every question of the type and the picture files they name, the
// rows in one transaction. Throws DbError.
ClearResult clearType(const QString &type);

// Rows of a type's table.
int count(CADOConn &conn, const QString &type);

} // namespace QuestionStore
