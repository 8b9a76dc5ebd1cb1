#include "bank/QuestionStore.h"

#include "app/MessageBox.h"
#include "store/CADOConn.h"
#include "store/QuestionType.h"
#include "store/Schema.h"

#include <QFile>

Question ManualEntry::toQuestion() const
{
    Question q;
    q.subject = subject;
    q.type = type;
    q.stem = stem;
    q.difficulty = difficulty;
    q.audience = audience;
    if (QuestionType::isChoice(type)) {
        for (size_t i = 0; i < 5; ++i)
            q.options[i] = options[i];
        q.answer = answerBox;
    } else if (QuestionType::is(type, QuestionType::Judge)) {
        q.options[0] = JudgeText::True;
        q.options[1] = JudgeText::False;
        q.answer = judgeAnswer;
    } else {
        q.answer = answerBox;
    }
    return q;
}

namespace QuestionStore {

std::optional<Refusal> checkEntry(const ManualEntry &e)
{
    if (e.type.isEmpty())
        return Refusal{QStringLiteral("请选择题型！"), Caption::Remind};
    const bool listsChosen = !e.subject.isEmpty() && !e.difficulty.isEmpty() && !e.audience.isEmpty();
    if (QuestionType::isChoice(e.type)) {
        if (e.stem.isEmpty() || e.options[0].isEmpty() || e.options[1].isEmpty() || e.options[2].isEmpty()
            || e.answerBox.isEmpty() || !listsChosen)
            return Refusal{QStringLiteral("添加数据不能为空！"), Caption::Remind};
    } else if (QuestionType::is(e.type, QuestionType::Judge)) {
        if (e.stem.isEmpty() || e.judgeAnswer.isEmpty() || !listsChosen)
            return Refusal{QStringLiteral("数据选择不能为空！"), Caption::Remind};
    } else {
        if (e.stem.isEmpty() || e.answerBox.isEmpty() || !listsChosen)
            return Refusal{QStringLiteral("添加数据不能为空！"), Caption::Remind};
    }
    // Both look at the answer box only, whatever the type.
    if (e.answerBox.contains(QLatin1Char(' ')) && !QuestionType::is(e.type, QuestionType::Essay))
        return Refusal{QStringLiteral("除问答题外的答案不能有空格存在，添加失败！"), Caption::Tip};
    if (e.answerBox.contains(QLatin1Char('|')))
        return Refusal{QStringLiteral("题目答案中不能含有'|'，添加失败！"), Caption::Tip};
    // The columns hold 255 characters, as the import enforces; only the boxes
    // the type stores are looked at.
    QList<std::pair<QString, QString>> stored{{QStringLiteral("题干"), e.stem}};
    if (QuestionType::isChoice(e.type)) {
        static const char *const names[] = {"选项A", "选项B", "选项C", "选项D", "选项E"};
        for (size_t i = 0; i < 5; ++i)
            stored.append({QString::fromUtf8(names[i]), e.options[i]});
    }
    if (!QuestionType::is(e.type, QuestionType::Judge))
        stored.append({QStringLiteral("标准答案"), e.answerBox});
    for (const auto &[name, value] : stored)
        if (value.size() > Schema::MaxText)
            return Refusal{QStringLiteral("%1超过%2个字符，添加失败！").arg(name).arg(Schema::MaxText), Caption::Tip};
    return std::nullopt;
}

bool isDuplicate(CADOConn &conn, const Question &q)
{
    const QString table = QuestionType::checkedTable(q.type);
    QString sql = QStringLiteral("select ID from %1 where 科目=? and 题型=? and 题干=? and 答案=?").arg(table);
    QVariantList params{q.subject, q.type, q.stem, q.answer};
    if (QuestionType::isChoice(q.type)) {
        for (int i = 0; i < 5; ++i) {
            sql += QStringLiteral(" and coalesce(%1,'')=?").arg(Question::optionColumns().at(i));
            params << q.option(i);
        }
    }
    RecordsetPtr rs = conn.openRecordset(sql + QStringLiteral(" limit 1"), Db::Questions, params);
    return rs->recordCount() > 0;
}

int insert(CADOConn &conn, const Question &q)
{
    const QString table = QuestionType::checkedTable(q.type);
    // An empty writable cursor: the new row is appended without reading the table.
    RecordsetPtr rs = conn.openRecordset(QStringLiteral("select * from %1 where ID is null").arg(table), Db::Questions);
    rs->addNew();
    rs->put(QStringLiteral("科目"), q.subject);
    rs->put(QStringLiteral("题型"), q.type);
    rs->put(QStringLiteral("题干"), q.stem);
    rs->put(QStringLiteral("答案"), q.answer);
    for (int i = 0; i < 5; ++i)
        if (q.options[size_t(i)])
            rs->put(Question::optionColumns().at(i), *q.options[size_t(i)]);
    rs->put(QStringLiteral("难度"), q.difficulty);
    rs->put(QStringLiteral("对象"), q.audience);
    if (q.picture)
        rs->put(QStringLiteral("图片"), Db::nullable(q.picture));
    rs->update();
    const std::optional<QString> id = rs->value(QStringLiteral("ID"));
    return id ? id->toInt() : 0;
}

void setPicture(CADOConn &conn, const QString &type, int id, const QString &pictureName)
{
    conn.executeOrThrow(QStringLiteral("update %1 set 图片=? where ID=?").arg(QuestionType::checkedTable(type)),
                        Db::Questions, {pictureName, id});
}

bool deletePictureFile(const QString &type, const QString &id)
{
    const QString path = Question::picturePath(type + id);
    return QFile::exists(path) && QFile::remove(path);
}

void deleteQuestion(const QString &type, int id)
{
    if (!QuestionType::isValid(type))
        return;
    CADOConn conn;
    conn.execute(QStringLiteral("delete from %1 where ID=?").arg(type), Db::Questions, {id});
    conn.close();
}

int count(CADOConn &conn, const QString &type)
{
    RecordsetPtr rs = conn.openRecordset(
        QStringLiteral("select count(*) as n from %1").arg(QuestionType::checkedTable(type)), Db::Questions);
    return rs->getInt(QStringLiteral("n"));
}

ClearResult clearType(const QString &type)
{
    const QString table = QuestionType::checkedTable(type);
    CADOConn conn;
    if (count(conn, table) == 0)
        return ClearResult::AlreadyEmpty;
    RecordsetPtr pictures = conn.openRecordset(
        QStringLiteral("select 图片 from %1 where 图片 is not null").arg(table), Db::Questions);
    QStringList files;
    while (!pictures->isEOF()) {
        files << Question::picturePath(pictures->getString(QStringLiteral("图片")));
        pictures->moveNext();
    }
    // One statement: all rows go or none do.
    conn.executeOrThrow(QStringLiteral("delete from %1").arg(table), Db::Questions);
    // The files go once their rows are gone for good; a missing one is no error.
    for (const QString &f : files)
        QFile::remove(f);
    conn.close();
    return ClearResult::Cleared;
}

} // namespace QuestionStore
