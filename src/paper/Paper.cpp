#include "paper/Paper.h"

#include "paper/QuestionDraw.h"
#include "store/CADOConn.h"
#include "store/QuestionType.h"
#include "store/Integrity.h"
#include "store/StoredNumbers.h"

namespace {

const QStringList kColumns = QStringList{"名称", "科目"} + QuestionType::names()
                             + QStringList{"总题数", "满分", "创建时间", "科目选项", "保存码"};

Paper paperOf(const CRecordset &rs)
{
    Paper p;
    if (rs.hasColumn(QStringLiteral("ID")))
        p.id = rs.getInt(QStringLiteral("ID"));
    p.name = rs.getString(QStringLiteral("名称"));
    p.subject = rs.getString(QStringLiteral("科目"));
    for (int i = 0; i < 5; ++i)
        p.types[size_t(i)] = rs.getString(QuestionType::names().at(i));
    p.total = rs.getString(QStringLiteral("总题数"));
    p.fullMarks = rs.getString(QStringLiteral("满分"));
    p.created = rs.getString(QStringLiteral("创建时间"));
    p.option = rs.getString(QStringLiteral("科目选项"));
    p.code = rs.getString(QStringLiteral("保存码"));
    return p;
}

QList<Paper> readAll(CADOConn &conn, const QString &sql, const QVariantList &params)
{
    QList<Paper> papers;
    RecordsetPtr rs = conn.openRecordset(sql, Db::Questions, params);
    while (!rs->isEOF()) {
        papers << paperOf(*rs);
        rs->moveNext();
    }
    return papers;
}

} // namespace

QString Paper::computeCode() const
{
    return paperCode(name, types[0], types[1], types[2], types[3], types[4], subject, total, fullMarks, created);
}

namespace PaperStore {

int availableCount(CADOConn &conn, const QString &type, const QString &subject, const QString &group,
                   const QString &difficulty, bool allSubjects)
{
    const std::optional<QString> from = allSubjects ? std::nullopt : std::optional<QString>(subject);
    return QuestionDraw::available(conn, {type, from, group, difficulty}, QuestionDraw::Pictures::Included);
}

bool nameExists(CADOConn &conn, const QString &name)
{
    return !conn.openRecordset(QStringLiteral("select 1 as x from exampaper where 名称=? limit 1"), Db::Questions,
                               {name})
                ->isEOF();
}

QList<PaperSubject> subjectRows(CADOConn &conn, const QString &name)
{
    return readAll(conn, QStringLiteral("select * from testpaper where 名称=?"), {name});
}

void savePaper(CADOConn &conn, Paper paper, bool toSubjectTable)
{
    paper.code = paper.computeCode();
    const QString sql = QStringLiteral("insert into %1 (%2) values (?,?,?,?,?,?,?,?,?,?,?,?)")
                            .arg(toSubjectTable ? QStringLiteral("testpaper") : QStringLiteral("exampaper"),
                                 kColumns.join(QLatin1Char(',')));
    conn.executeOrThrow(sql, Db::Questions,
                        {paper.name, paper.subject, paper.types[0], paper.types[1], paper.types[2], paper.types[3],
                         paper.types[4], paper.total, paper.fullMarks, paper.created, paper.option, paper.code});
}

QString summaryText(const QString &type, int subjects)
{
    if (subjects <= 0)
        return TypeRule::Empty;
    return type + QStringLiteral("包含%1个科目").arg(subjects);
}

Paper finishMultiSubjectPaper(CADOConn &conn, const QString &name, const QString &created)
{
    RecordsetPtr sums = conn.openRecordset(
        QStringLiteral("select SUM(val(总题数)) as 总题数, SUM(val(满分)) as 满分, COUNT(*) as 条数 "
                       "from testpaper where 名称=?"),
        Db::Questions, {name});
    const qint64 questions = sums->getString(QStringLiteral("总题数")).toDouble();
    const double marks = sums->getString(QStringLiteral("满分")).toDouble();
    const int rows = sums->getInt(QStringLiteral("条数"));

    Paper summary;
    summary.name = name;
    summary.subject = PaperSubjectText::Various;
    for (int i = 0; i < 5; ++i) {
        const QString &type = QuestionType::names().at(i);
        const int without = conn.openRecordset(
                                    QStringLiteral("select count(*) as n from testpaper where 名称=? and %1=?")
                                        .arg(QuestionType::checkedTable(type)),
                                    Db::Questions, {name, TypeRule::Empty})
                                ->getInt(QStringLiteral("n"));
        summary.types[size_t(i)] = summaryText(type, rows - without);
    }
    summary.total = QString::number(questions);
    summary.fullMarks = fullMarksText(marks);
    summary.created = created;
    summary.option = SubjectOption::Multi;
    savePaper(conn, summary, false);
    summary.code = summary.computeCode();
    return summary;
}

void deleteSubjectRows(CADOConn &conn, const QString &name)
{
    conn.executeOrThrow(QStringLiteral("delete from testpaper where 名称=?"), Db::Questions, {name});
}

QList<Paper> readPapers(CADOConn &conn)
{
    return readAll(conn, QStringLiteral("select * from exampaper"), {});
}

std::optional<Paper> readPaper(CADOConn &conn, int id)
{
    const QList<Paper> rows = readAll(conn, QStringLiteral("select * from exampaper where ID=?"), {id});
    if (rows.isEmpty())
        return std::nullopt;
    return rows.first();
}

std::optional<Paper> readPaperNamed(CADOConn &conn, const QString &name)
{
    const QList<Paper> rows =
        readAll(conn, QStringLiteral("select * from exampaper where 名称=? order by ID limit 1"), {name});
    if (rows.isEmpty())
        return std::nullopt;
    return rows.first();
}

bool deletePaper(CADOConn &conn, int id)
{
    const std::optional<Paper> paper = readPaper(conn, id);
    if (!paper)
        return false;
    DbTransaction tx(conn, Db::Questions);
    conn.executeOrThrow(QStringLiteral("delete from exampaper where ID=?"), Db::Questions, {id});
    if (paper->option == SubjectOption::Multi)
        deleteSubjectRows(conn, paper->name);
    tx.commit();
    return true;
}

} // namespace PaperStore
