#include "exam/ExamEntry.h"

#include "exam/ExamHandover.h"
#include "paper/Paper.h"
#include "store/CADOConn.h"
#include "store/Schema.h"

namespace ExamEntry {

namespace {

void recreate(const Schema::WorkTable &t)
{
    CADOConn conn;
    if (conn.openConnection(t.file))
        Schema::recreate(conn, t);
}

void drop(const Schema::WorkTable &t)
{
    CADOConn conn;
    if (conn.openConnection(t.file))
        Schema::drop(conn, t);
}

} // namespace

PaperCheck checkPaper(const QString &paperName)
{
    CADOConn conn;
    if (!conn.openConnection(Db::Questions))
        return PaperCheck::Deleted;
    const std::optional<Paper> paper = PaperStore::readPaperNamed(conn, paperName);
    if (!paper)
        return PaperCheck::Deleted;
    return paper->sealed() ? PaperCheck::Sound : PaperCheck::Tampered;
}

bool anyExam()
{
    CADOConn conn;
    if (!conn.openConnection(Db::Personnel))
        return false;
    return !conn.openRecordset(QStringLiteral("select 1 as x from ExamArrange limit 1"), Db::Personnel)->isEOF();
}

void recreateInterim()
{
    recreate(Schema::examInterim());
}

void recreateSheet()
{
    recreate(Schema::examSheet());
}

void dropInterim()
{
    drop(Schema::examInterim());
}

void dropSheet()
{
    drop(Schema::examSheet());
}

int passMarkValue(const QString &text)
{
    const QString t = text.trimmed();
    int end = 0;
    if (end < t.size() && (t.at(end) == QLatin1Char('-') || t.at(end) == QLatin1Char('+')))
        ++end;
    while (end < t.size() && t.at(end).isDigit() && t.at(end).unicode() < 0x80)
        ++end;
    return t.left(end).toInt();
}

} // namespace ExamEntry
