#pragma once
// The five question types, the vocabulary every folder shares. A type's
// stored name ("单选题" …) is also the name of its bank table in
// questions.mdb and of its column in a paper row; the types always come in
// the fixed order 单选题, 判断题, 填空题, 多选题, 问答题 (drawing, numbering,
// the exam window's overview, the printed sections).
#include <QString>
#include <QStringList>

#include <array>

struct QuestionType
{
    enum Id { Single, Judge, Blank, Multi, Essay };
    static constexpr int Count = 5;

    Id id;
    QString name;        // as stored in 题型
    QStringList options; // the option columns it uses: A–E for a choice type, A and B for 判断题

    // Its place in the fixed order, 0 to 4.
    int order() const { return int(id); }
    // Answered by choosing letters among its options: 单选题 and 多选题.
    bool isChoice() const { return id == Single || id == Multi; }
    // Its bank table; the only text ever spliced into a statement as a table name.
    const QString &table() const { return name; }

    // The five, in the fixed order.
    static const std::array<QuestionType, Count> &all();
    static const QuestionType &of(Id id);
    static const QString &nameOf(Id id);
    // Their names, in the fixed order.
    static const QStringList &names();
    // Every option column of a bank row or a drawn row: A to E.
    static const QStringList &optionColumns();

    // The type of a stored name; null for any other text.
    static const QuestionType *find(const QString &name);
    static bool isValid(const QString &name) { return find(name) != nullptr; }
    static bool is(const QString &name, Id id) { return name == nameOf(id); }
    static bool isChoice(const QString &name);
    // Position of a name in the fixed order, -1 for any other text.
    static int orderOf(const QString &name);

    // The bank table of a name; throws DbError for anything but the five.
    static QString checkedTable(const QString &name);
};
