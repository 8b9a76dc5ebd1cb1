#include "admin/ExamineeEntry.h"

#include "store/CADOConn.h"
#include "store/Clock.h"
#include "store/Integrity.h"

namespace ExamineeEntry {

namespace {

const QString kEnded = QStringLiteral("结束");

// Any row at all; reading the whole table only to see it is not empty would
// cost as much as the checks themselves.
bool hasRows(CADOConn &conn, const QString &sql)
{
    return conn.openRecordset(sql, Db::Personnel)->recordCount() > 0;
}

// Puts "结束" and the code sealed with it into the current exam row.
void endExam(CADOConn &conn, CRecordset &exams)
{
    DbTransaction tx(conn, Db::Personnel);
    exams.put(QStringLiteral("时效"), kEnded);
    exams.put(QStringLiteral("保存码"), examCodeOf(exams)); // sealed with the "结束" just put
    exams.update();
    tx.commit();
}

} // namespace

bool isDue(const QString &validity, const QString &endTime, const QDateTime &now)
{
    if (!validity.isEmpty())
        return false;
    const QDateTime end = Clock::parseLocal(endTime);
    if (!end.isValid())
        return false;
    return now.msecsTo(end) <= 500;
}

Result check(const QDateTime &now)
{
    Result result;
    CADOConn conn;
    if (!conn.openConnection(Db::Personnel)) {
        result.outcome = Outcome::NoConnection;
        return result;
    }

    RecordsetPtr exams = conn.openRecordset(QStringLiteral("select * from ExamArrange"), Db::Personnel);
    if (exams->recordCount() == 0) {
        result.outcome = Outcome::NoExam;
        return result;
    }
    for (exams->moveFirst(); !exams->isEOF(); exams->moveNext()) {
        if (!examSealed(*exams)) {
            result.outcome = Outcome::ExamTampered;
            return result;
        }
        if (isDue(exams->getString(QStringLiteral("时效")), exams->getString(QStringLiteral("结束时间")), now)) {
            endExam(conn, *exams);
            ++result.endedExams;
        }
    }
    exams->close();

    if (!hasRows(conn, QStringLiteral("select 1 from ExamRegister limit 1"))
        || !hasRows(conn, QStringLiteral("select 1 from JoinExam limit 1"))) {
        result.outcome = Outcome::RegistrationsMissing;
        return result;
    }

    RecordsetPtr open = conn.openRecordset(
        QStringLiteral("select 姓名,部门,职务,考试号,合格分数,保存码 from ExamRegister where 成绩 is null"),
        Db::Personnel);
    for (open->moveFirst(); !open->isEOF(); open->moveNext()) {
        if (!registrationSealed(*open)) {
            result.outcome = Outcome::RegistrationTampered;
            return result;
        }
    }
    return result;
}

} // namespace ExamineeEntry
