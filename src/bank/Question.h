#pragma once
// The question record shared by every reader and writer of the bank: one
// table per type, the same columns in each, answers encoded per type.
//
//   单选题  答案 one letter A–E; options A, B, C filled, D and E may be empty
//   多选题  答案 the correct letters in the order A to E, no separators
//   判断题  答案 "A" (true) or "B" (false); A = "正确", B = "错误"
//   填空题  题干 marks each blank "【】" (one or two); two answers joined by "#"
//   问答题  答案 the model answer, free text
//
// Subjects, audience groups and question texts compare exactly, letter case
// included, everywhere in the bank (duplicate test, subject filter, duplicate
// removal), as the subject catalogue keeps "Math" and "math" apart. Only the
// stem keyword, a pattern, ignores letter case.
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class CRecordset;

struct Question
{
    int id = 0;
    QString subject;  // 科目
    QString type;     // 题型
    QString stem;     // 题干
    QString answer;   // 答案
    std::array<std::optional<QString>, 5> options; // A … E; null when not written
    QString difficulty; // 难度
    QString audience;   // 对象
    std::optional<QString> picture; // 图片: null when the question has none

    QString option(int i) const { return options.at(size_t(i)).value_or(QString()); }

    // The columns of every question table after ID, in table order.
    static const QStringList &columns();
    static const QStringList &optionColumns(); // A … E
    static const QStringList &difficulties();  // 简单, 中等, 困难

    // Reads the current row of a recordset opened on a question table.
    static Question fromRecordset(const CRecordset &rs);

    // The picture name of a question: its type followed by its ID (单选题12).
    static QString pictureName(const QString &type, int id);
    // The file of a picture name in the picture folder of the working directory.
    static QString picturePath(const QString &pictureName);
    static QString pictureFolder();
};

namespace JudgeText {
inline const QString True = QStringLiteral("正确");
inline const QString False = QStringLiteral("错误");
} // namespace JudgeText
