#include "admin/ExamManagement.h"

#include "admin/ExamineeEntry.h"
#include "store/CADOConn.h"
#include "store/Integrity.h"
#include "store/Sitting.h"

#include <QHash>
#include <QSet>

#include <optional>

namespace ExamManagement {

namespace {

const QString kEnded = QStringLiteral("结束");

QList<ListedRegistration> rowsOf(CRecordset &r, bool check, bool *tampered)
{
    QList<ListedRegistration> rows;
    for (r.moveFirst(); !r.isEOF(); r.moveNext()) {
        ListedRegistration row{r.getInt(QStringLiteral("ID")), r.getString(QStringLiteral("姓名")),
                               r.getString(QStringLiteral("部门")), r.getString(QStringLiteral("职务")),
                               !r.isNull(QStringLiteral("成绩")), QString(), false};
        rows << row;
        if (check && !row.taken && !registrationSealed(r)) {
            *tampered = true;
            return rows;
        }
    }
    return rows;
}

const QString kUnregistered = QStringLiteral(
    "select e.姓名 as 姓名,e.部门 as 部门,e.职务 as 职务 from examinee e left join ExamRegister j on "
    "e.姓名=j.姓名 and e.部门=j.部门 and e.职务=j.职务 and j.考试号=? where j.姓名 is null");

// The sittings' statuses beside the registrations of an exam.
void addSittings(CADOConn &conn, int number, QList<ListedRegistration> &rows)
{
    QHash<int, SittingRecord> byRegistration;
    for (const SittingRecord &s : Sitting::ofExam(conn, QString::number(number)))
        byRegistration.insert(s.registrationId, s);
    for (ListedRegistration &row : rows) {
        const auto it = byRegistration.constFind(row.id);
        if (it == byRegistration.cend())
            continue;
        row.sitting = Sitting::statusText(*it);
        row.inProgress = it->running();
    }
}

} // namespace

Listing loadExams(const QDateTime &now, QList<ListedExam> *exams)
{
    CADOConn conn;
    RecordsetPtr r = conn.openRecordset(QStringLiteral("select * from ExamArrange"), Db::Personnel);
    for (r->moveFirst(); !r->isEOF(); r->moveNext()) {
        ListedExam exam{r->getString(QStringLiteral("考试号")), r->getString(QStringLiteral("考试名称")),
                        r->getString(QStringLiteral("开始时间")), r->getString(QStringLiteral("结束时间")),
                        r->getString(QStringLiteral("试卷名称")), r->getString(QStringLiteral("合格分数")),
                        r->getString(QStringLiteral("时效"))};
        if (exams)
            *exams << exam;
        // The stored code is checked before anything is resealed, so a row
        // changed outside the program keeps failing.
        if (!examSealed(*r))
            return Listing::Tampered;
        if (ExamineeEntry::isDue(exam.validity, exam.end, now)) {
            DbTransaction tx(conn, Db::Personnel);
            conn.executeOrThrow(QStringLiteral("Update ExamArrange Set 时效=?,保存码=? where 考试号=?"),
                                Db::Personnel,
                                {kEnded, examCode(exam.name, exam.start, exam.end, exam.passMark, kEnded),
                                 exam.number.toInt()});
            tx.commit();
        }
    }
    conn.close();
    return Listing::Sound;
}

void deleteExam(int number)
{
    const QString text = QString::number(number);
    CADOConn conn;
    DbTransaction tx(conn, Db::Personnel);
    conn.executeOrThrow(QStringLiteral("delete from ExamArrange where 考试号=?"), Db::Personnel, {number});
    conn.executeOrThrow(QStringLiteral("delete from ExamRegister where 考试号=?"), Db::Personnel, {text});
    deleteRosterCounter(conn, number, CounterWrite::OrThrow);
    conn.executeOrThrow(QStringLiteral("delete from quesAndAns where 考试号=?"), Db::Personnel, {text});
    Sitting::deleteForExam(conn, text);
    tx.commit();
    conn.close();
}

View viewRegistrations(int number, QList<ListedRegistration> *rows)
{
    CADOConn conn;
    if (conn.openRecordset(QStringLiteral("select 1 from ExamArrange limit 1"), Db::Personnel)->recordCount() == 0)
        return View::NoExams;
    if (conn.openRecordset(QStringLiteral("select 1 from JoinExam limit 1"), Db::Personnel)->recordCount() == 0)
        return View::NoCounters;
    CounterRule rule;
    rule.checkQuantity = false;
    rule.allowNullQuality = true;
    switch (checkRosterCounters(conn, number, rule)) {
    case CounterCheck::NotOneRow:
        return View::CounterRowsNotOne;
    case CounterCheck::QualityDiffers:
    case CounterCheck::QuantityDiffers:
        return View::CountDiffers;
    case CounterCheck::Ok:
        break;
    }
    RecordsetPtr r = conn.openRecordset(QStringLiteral("select * from ExamRegister where 考试号=?"), Db::Personnel,
                                        {QString::number(number)});
    bool tampered = false;
    QList<ListedRegistration> found = rowsOf(*r, true, &tampered);
    addSittings(conn, number, found);
    conn.close();
    if (rows)
        *rows = std::move(found);
    return tampered ? View::RegistrationTampered : View::Shown;
}

QList<ListedRegistration> registrations(int number)
{
    CADOConn conn;
    RecordsetPtr r = conn.openRecordset(QStringLiteral("select * from ExamRegister where 考试号=?"), Db::Personnel,
                                        {QString::number(number)});
    QList<ListedRegistration> rows = rowsOf(*r, false, nullptr);
    addSittings(conn, number, rows);
    return rows;
}

QStringList unregisteredNames(int number)
{
    // The exam's registrations set aside, the roster is read once in its
    // order: no lookup per person, which over 100,000 people was most of the
    // time. A person matches as the join of kUnregistered matches: all three
    // texts equal, none of them null.
    const auto person = [](const CRecordset &r) -> std::optional<QString> {
        for (const char *c : {"姓名", "部门", "职务"})
            if (r.isNull(QString::fromUtf8(c)))
                return std::nullopt;
        return r.getString(QStringLiteral("姓名")) + QChar(0x1f) + r.getString(QStringLiteral("部门")) + QChar(0x1f)
               + r.getString(QStringLiteral("职务"));
    };
    CADOConn conn;
    QSet<QString> registered;
    conn.forEachRow(QStringLiteral("select 姓名,部门,职务 from ExamRegister where 考试号=?"), Db::Personnel,
                    {QString::number(number)}, [&](const CRecordset &r) {
                        if (const std::optional<QString> key = person(r))
                            registered.insert(*key);
                        return true;
                    });
    QStringList names;
    conn.forEachRow(QStringLiteral("select 姓名,部门,职务 from examinee"), Db::Personnel, {}, [&](const CRecordset &r) {
        const std::optional<QString> key = person(r);
        if (!key || !registered.contains(*key))
            names << r.getString(QStringLiteral("姓名"));
        return true;
    });
    return names;
}

std::optional<RosterPerson> unregisteredPerson(const QString &name, int number)
{
    CADOConn conn;
    RecordsetPtr r =
        conn.openRecordset(kUnregistered + QStringLiteral(" and e.姓名=?"), Db::Personnel, {QString::number(number), name});
    if (r->recordCount() == 0)
        return std::nullopt;
    r->moveFirst();
    return RosterPerson{0, r->getString(QStringLiteral("姓名")), r->getString(QStringLiteral("部门")),
                        r->getString(QStringLiteral("职务"))};
}

int removeRegistrations(const QList<int> &ids, int number)
{
    CADOConn conn;
    DbTransaction tx(conn, Db::Personnel);
    int removed = 0;
    for (int id : ids) {
        RecordsetPtr r = conn.openRecordset(
            // Locked: a hand-in on a station meanwhile keeps its registration.
            QStringLiteral("select ID from ExamRegister where ID=? and 考试号=? and 成绩 is null for update"), Db::Personnel,
            {id, QString::number(number)});
        if (r->recordCount() == 0)
            continue;
        conn.executeOrThrow(QStringLiteral("delete from ExamRegister where ID=?"), Db::Personnel, {id});
        Sitting::deleteForRegistration(conn, id);
        removeFromRosterCounter(conn, number, CounterWrite::OrThrow);
        ++removed;
    }
    tx.commit();
    conn.close();
    return removed;
}

Register registerPerson(const QString &name, const QString &department, const QString &post,
                        const QString &examName, const QString &number, const QString &passMark)
{
    if (name.isEmpty() || number.isEmpty())
        return Register::Missing;
    CADOConn conn;
    if (conn.openRecordset(QStringLiteral("select 考试号 from ExamArrange where 考试名称=? and 时效 is not null"),
                           Db::Personnel, {examName})
            ->recordCount()
        > 0)
        return Register::Ended;
    DbTransaction tx(conn, Db::Personnel);
    conn.executeOrThrow(
        QStringLiteral("insert into ExamRegister (姓名,部门,职务,考试号,合格分数,保存码) values (?,?,?,?,?,?)"),
        Db::Personnel,
        {name, department, post, number, passMark, registrationCode(name, department, post, number, passMark)});
    addToRosterCounter(conn, number.toInt(), CounterWrite::OrThrow);
    tx.commit();
    conn.close();
    return Register::Registered;
}

} // namespace ExamManagement

namespace ExamManagement {

namespace {
SittingChange changeOf(Sitting::Write w)
{
    switch (w) {
    case Sitting::Write::Done: return SittingChange::Done;
    case Sitting::Write::Tampered: return SittingChange::Tampered;
    case Sitting::Write::Closed: break;
    }
    return SittingChange::NotRunning;
}
} // namespace

SittingChange extendSitting(int registrationId, int minutes)
{
    CADOConn conn;
    conn.openConnection(Db::Personnel);
    return changeOf(Sitting::extend(conn, registrationId, minutes));
}

SittingChange restartSitting(int registrationId)
{
    CADOConn conn;
    conn.openConnection(Db::Personnel);
    return changeOf(Sitting::discard(conn, registrationId));
}

} // namespace ExamManagement
