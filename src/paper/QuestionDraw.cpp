#include "paper/QuestionDraw.h"

#include "paper/Paper.h"
#include "paper/TypeRule.h"
#include "store/CADOConn.h"
#include "store/QuestionType.h"
#include "store/Random.h"
#include "store/StoredNumbers.h"

#include <QVariantList>

#include <vector>

namespace QuestionDraw {

namespace {

// "from <table> where …" of an item, with its parameters.
QString fromWhere(const DrawItem &item, Pictures pictures, QVariantList *params)
{
    QString sql = QStringLiteral(" from %1 where 题型=?").arg(QuestionType::checkedTable(item.type));
    *params << item.type;
    if (item.subject) {
        sql += QStringLiteral(" and 科目=?");
        *params << *item.subject;
    }
    sql += QStringLiteral(" and 对象=? and 难度=?");
    *params << item.group << item.difficulty;
    if (pictures == Pictures::Excluded)
        sql += QStringLiteral(" and 图片 is null");
    return sql;
}

} // namespace

int available(CADOConn &bank, const DrawItem &item, Pictures pictures)
{
    QVariantList params;
    const QString sql = QStringLiteral("select count(*) as n") + fromWhere(item, pictures, &params);
    return bank.openRecordset(sql, Db::Questions, params)->getInt(QStringLiteral("n"));
}

bool draw(CADOConn &bank, CADOConn &work, const QString &workFile, const DrawItem &item, int count, double points,
          Pictures pictures)
{
    QVariantList params;
    // Row positions in ID order, so a fixed seed draws the same questions.
    const QString sql = QStringLiteral("select ID") + fromWhere(item, pictures, &params) + QStringLiteral(" order by ID");
    RecordsetPtr rows = bank.openRecordset(sql, Db::Questions, params);
    const int n = rows->recordCount();
    if (n == 0 || n < count)
        return false;
    std::vector<qint64> ids;
    ids.reserve(size_t(n));
    for (rows->moveFirst(); !rows->isEOF(); rows->moveNext())
        ids.push_back(rows->getString(QStringLiteral("ID")).toLongLong());
    rows->close();

    QStringList columns{"科目", "题型", "题干", "答案", "A", "B", "C", "D", "E", "难度", "对象"};
    if (pictures == Pictures::Included)
        columns << QStringLiteral("图片");
    const QString list = columns.join(QLatin1Char(','));
    const QString fetch = QStringLiteral("select %1 from %2 where ID=?").arg(list, QuestionType::checkedTable(item.type));
    // 题库ID: which bank question each drawn row is (the sitting keeps it).
    const QString insert = QStringLiteral("insert into interim (%1,分值,题库ID) values (%2?,?)")
                               .arg(list, QStringLiteral("?,").repeated(columns.size()));
    const QString value = pointsText(points);
    DbTransaction tx(work, workFile);
    for (std::uint64_t p : Random::pickDistinct(std::uint64_t(std::max(count, 0)), std::uint64_t(n))) {
        RecordsetPtr q = bank.openRecordset(fetch, Db::Questions, {ids[size_t(p)]});
        QVariantList values;
        for (const QString &c : columns) {
            values << Db::nullable(q->value(c));
        }
        values << value << ids[size_t(p)];
        work.executeOrThrow(insert, workFile, values);
    }
    tx.commit();
    return true;
}

QStringList copyShuffled(CADOConn &work, const QString &workFile, const QString &type, int firstNumber,
                         const QStringList &columns)
{
    RecordsetPtr rows = work.openRecordset(QStringLiteral("select ID,答案 from interim where 题型=? order by ID"),
                                           workFile, {type});
    struct Drawn
    {
        qint64 id;
        QString answer;
    };
    std::vector<Drawn> drawn;
    drawn.reserve(size_t(rows->recordCount()));
    for (rows->moveFirst(); !rows->isEOF(); rows->moveNext())
        drawn.push_back({rows->getString(QStringLiteral("ID")).toLongLong(), rows->getString(QStringLiteral("答案"))});
    rows->close();

    const QString list = columns.join(QLatin1Char(','));
    const QString insert =
        QStringLiteral("insert into exam (编号,%1) select ?,%1 from interim where ID=?").arg(list);
    QStringList answers;
    DbTransaction tx(work, workFile);
    int number = firstNumber;
    for (std::uint64_t p : Random::pickDistinct(std::uint64_t(drawn.size()), std::uint64_t(drawn.size()))) {
        const Drawn &d = drawn[size_t(p)];
        work.executeOrThrow(insert, workFile, {number++, d.id});
        answers << d.answer;
    }
    tx.commit();
    return answers;
}

QString shortageMessage(const QString &type)
{
    return QStringLiteral("题库中“") + type + QStringLiteral("”数量不符合考卷要求，退出程序！");
}

std::optional<QString> subjectOf(const QString &option, const QString &rowSubject)
{
    if (option == SubjectOption::All || rowSubject == PaperSubjectText::None)
        return std::nullopt;
    return rowSubject;
}

bool drawRule(CADOConn &bank, CADOConn &work, const QString &workFile, const QString &type,
              const std::optional<QString> &subject, const TypeRule &rule, Pictures pictures)
{
    for (const TypeRuleSegment &segment : rule.segments)
        for (const TypeRuleItem &item : segment.items)
            if (!draw(bank, work, workFile, {type, subject, segment.group, item.difficulty}, item.count, rule.points,
                      pictures))
                return false;
    return true;
}

} // namespace QuestionDraw
