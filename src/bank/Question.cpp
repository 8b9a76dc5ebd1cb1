#include "bank/Question.h"

#include "store/CADOConn.h"
#include "store/QuestionType.h"

const QStringList &Question::columns()
{
    static const QStringList c{"科目", "题型", "题干", "答案", "A", "B", "C", "D", "E", "难度", "对象", "图片"};
    return c;
}

const QStringList &Question::optionColumns()
{
    return QuestionType::optionColumns();
}

const QStringList &Question::difficulties()
{
    static const QStringList d{"简单", "中等", "困难"};
    return d;
}

Question Question::fromRecordset(const CRecordset &rs)
{
    Question q;
    const std::optional<QString> id = rs.value(QStringLiteral("ID"));
    q.id = id ? id->toInt() : 0;
    q.subject = rs.getString(QStringLiteral("科目"));
    q.type = rs.getString(QStringLiteral("题型"));
    q.stem = rs.getString(QStringLiteral("题干"));
    q.answer = rs.getString(QStringLiteral("答案"));
    for (int i = 0; i < 5; ++i)
        q.options[size_t(i)] = rs.value(optionColumns().at(i));
    q.difficulty = rs.getString(QStringLiteral("难度"));
    q.audience = rs.getString(QStringLiteral("对象"));
    q.picture = rs.value(QStringLiteral("图片"));
    return q;
}

QString Question::pictureName(const QString &type, int id)
{
    return type + QString::number(id);
}

QString Question::pictureFolder()
{
    return QStringLiteral("QuestionMap");
}

QString Question::picturePath(const QString &pictureName)
{
    return pictureFolder() + QLatin1Char('/') + pictureName + QStringLiteral(".bmp");
}
