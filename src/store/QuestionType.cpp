#include "store/QuestionType.h"

#include "store/CADOConn.h"

const std::array<QuestionType, QuestionType::Count> &QuestionType::all()
{
    static const QStringList choice{"A", "B", "C", "D", "E"};
    static const std::array<QuestionType, Count> types{{
        {Single, QStringLiteral("单选题"), choice},
        {Judge, QStringLiteral("判断题"), {"A", "B"}},
        {Blank, QStringLiteral("填空题"), {}},
        {Multi, QStringLiteral("多选题"), choice},
        {Essay, QStringLiteral("问答题"), {}},
    }};
    return types;
}

const QuestionType &QuestionType::of(Id id)
{
    return all()[size_t(id)];
}

const QString &QuestionType::nameOf(Id id)
{
    return of(id).name;
}

const QStringList &QuestionType::names()
{
    static const QStringList list = [] {
        QStringList out;
        for (const QuestionType &t : all())
            out << t.name;
        return out;
    }();
    return list;
}

const QuestionType *QuestionType::find(const QString &name)
{
    for (const QuestionType &t : all())
        if (t.name == name)
            return &t;
    return nullptr;
}

bool QuestionType::isChoice(const QString &name)
{
    const QuestionType *t = find(name);
    return t && t->isChoice();
}

int QuestionType::orderOf(const QString &name)
{
    const QuestionType *t = find(name);
    return t ? t->order() : -1;
}

QString QuestionType::checkedTable(const QString &name)
{
    const QuestionType *t = find(name);
    if (!t)
        throw DbError(QStringLiteral("unknown question type: %1").arg(name));
    return t->table();
}

const QStringList &QuestionType::optionColumns()
{
    return of(Single).options;
}
