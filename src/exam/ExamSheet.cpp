#include "exam/ExamSheet.h"

#include "store/CADOConn.h"
#include "store/SharedFiles.h"
#include "store/QuestionType.h"
#include "store/Schema.h"

namespace ExamSheet {

namespace {

ExamQuestion read(const CRecordset &rs)
{
    ExamQuestion q;
    q.number = rs.getInt(QStringLiteral("编号"));
    q.type = rs.getString(QStringLiteral("题型"));
    q.stem = rs.value(QStringLiteral("题干"));
    for (int i = 0; i < 5; ++i)
        q.options[i] = rs.value(QuestionType::optionColumns().at(i));
    q.answer = rs.value(QStringLiteral("答题"));
    q.points = rs.getString(QStringLiteral("分值"));
    q.picture = rs.value(QStringLiteral("图片"));
    return q;
}
} // namespace

std::array<int, 5> typeCounts(CADOConn &conn)
{
    std::array<int, 5> counts{};
    const RecordsetPtr rs = conn.openRecordset(
        QStringLiteral("select 题型, count(*) as n from exam group by 题型"), Db::Personnel);
    for (rs->moveFirst(); !rs->isEOF(); rs->moveNext()) {
        const int i = QuestionType::orderOf(rs->getString(QStringLiteral("题型")));
        if (i >= 0)
            counts[i] = rs->getInt(QStringLiteral("n"));
    }
    return counts;
}

int count(CADOConn &conn)
{
    const RecordsetPtr rs = conn.openRecordset(QStringLiteral("select count(*) as n from exam"), Db::Personnel);
    return rs->getInt(QStringLiteral("n"));
}

std::optional<ExamQuestion> load(CADOConn &conn, int number)
{
    const RecordsetPtr rs =
        conn.openRecordset(QStringLiteral("select * from exam where 编号=?"), Db::Personnel, {number});
    if (rs->recordCount() == 0)
        return std::nullopt;
    return read(*rs);
}

QList<ExamQuestion> all(CADOConn &conn)
{
    QList<ExamQuestion> rows;
    const RecordsetPtr rs = conn.openRecordset(QStringLiteral("select * from exam order by 编号, ID"), Db::Personnel);
    for (rs->moveFirst(); !rs->isEOF(); rs->moveNext())
        rows << read(*rs);
    return rows;
}

QList<int> answeredNumbers(CADOConn &conn)
{
    QList<int> numbers;
    const RecordsetPtr rs =
        conn.openRecordset(QStringLiteral("select 编号 from exam where 答题 is not null"), Db::Personnel);
    for (rs->moveFirst(); !rs->isEOF(); rs->moveNext())
        numbers << rs->getInt(QStringLiteral("编号"));
    return numbers;
}

void apply(CADOConn &conn, int number, const SaveDecision &d)
{
    if (d.action == SaveDecision::Store)
        conn.executeOrThrow(QStringLiteral("update exam set 答题=? where 编号=?"), Db::Personnel, {d.text, number});
    else if (d.action == SaveDecision::Clear)
        conn.executeOrThrow(QStringLiteral("Update exam Set 答题=null where 编号=?"), Db::Personnel, {number});
}

void drop()
{
    CADOConn conn;
    Schema::drop(conn, Schema::examSheet());
    conn.close();
}

QString picturePath(const QString &picture)
{
    const QString path = QStringLiteral(".//QuestionMap//") + picture + QStringLiteral(".bmp");
    // A lab's pictures are on its server; the station keeps a copy to show.
    SharedFiles::fetch(picture + QStringLiteral(".bmp"), path);
    return path;
}

} // namespace ExamSheet
