#include "bank/QuestionSearch.h"

#include "store/CADOConn.h"
#include "store/QuestionType.h"

#include <algorithm>

namespace QuestionSearch {

namespace {

// ASCII letters folded to lower case, as the engine's lower() folds them;
// other letters are compared exactly.
QString asciiLower(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c.unicode() >= 'A' && c.unicode() <= 'Z')
            c = QChar(c.unicode() + 32);
    return out;
}

bool hasAsciiLetter(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return (c.unicode() >= 'A' && c.unicode() <= 'Z') || (c.unicode() >= 'a' && c.unicode() <= 'z');
    });
}

// The where clause of one type's selection, always with 题型 = the type.
// The keyword matches literally (no pattern characters), ASCII letters in
// either case. A keyword search reads every stem anyway, so it walks the
// table in ID order rather than the type's index ("+题型").
QString whereOf(const SearchQuery &q, const QString &type, QVariantList *params)
{
    QString where;
    if (!q.keyword.isEmpty()) {
        if (hasAsciiLetter(q.keyword)) {
            where += QStringLiteral("instr(lower(题干), ?) > 0 and ");
            *params << asciiLower(q.keyword);
        } else {
            where += QStringLiteral("instr(题干, ?) > 0 and ");
            *params << q.keyword;
        }
    }
    if (!q.subject.isEmpty()) {
        where += QStringLiteral("科目=? and ");
        *params << q.subject;
    }
    where += q.keyword.isEmpty() ? QStringLiteral("题型=?") : QStringLiteral("+题型=?");
    *params << type;
    return where;
}

} // namespace

SearchPage page(CADOConn &conn, const SearchQuery &query, int pageNumber)
{
    SearchPage result;
    const qint64 first = qint64(qMax(pageNumber, 1) - 1) * PageSize; // 0-based position of the page's first row
    const qint64 end = first + PageSize;
    qint64 before = 0; // matches of the types already passed
    for (const QString &type : QuestionType::names()) {
        if (!query.types.contains(type))
            continue;
        QVariantList params;
        const QString where = whereOf(query, type, &params);
        RecordsetPtr counted = conn.openRecordset(
            QStringLiteral("select count(*) as n from %1 where %2").arg(type, where), Db::Questions, params);
        const int n = counted->getInt(QStringLiteral("n"));
        const qint64 from = qMax(first, before); // overlap of [first, end) with this type's [before, before+n)
        const qint64 to = qMin(end, before + n);
        if (from < to) {
            QVariantList pageParams = params;
            pageParams << (to - from) << (from - before);
            RecordsetPtr rs = conn.openRecordset(
                QStringLiteral("select ID,科目,题型,题干,答案,A,B,C,D,E,难度,对象 from %1 where %2 "
                               "order by ID limit ? offset ?")
                    .arg(type, where),
                Db::Questions, pageParams);
            qint64 position = from;
            while (!rs->isEOF()) {
                SearchRow row;
                row.number = int(++position);
                row.id = rs->getString(QStringLiteral("ID")).toInt();
                row.subject = rs->getString(QStringLiteral("科目"));
                row.type = rs->getString(QStringLiteral("题型"));
                row.stem = rs->getString(QStringLiteral("题干"));
                row.answer = rs->getString(QStringLiteral("答案"));
                static const char *const optionNames[] = {"A", "B", "C", "D", "E"};
                for (size_t i = 0; i < 5; ++i)
                    row.options[i] = rs->value(QLatin1String(optionNames[i]));
                row.difficulty = rs->value(QStringLiteral("难度"));
                row.audience = rs->value(QStringLiteral("对象"));
                result.rows << row;
                rs->moveNext();
            }
        }
        before += n;
    }
    result.total = int(before);
    result.pageCount = int((before + PageSize - 1) / PageSize);
    return result;
}

} // namespace QuestionSearch
