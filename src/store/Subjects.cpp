#include "store/Subjects.h"

#include "store/CADOConn.h"
#include "store/QuestionType.h"

namespace Subjects {

QList<SubjectRow> readRows()
{
    CADOConn conn;
    RecordsetPtr rs = conn.openRecordset(QStringLiteral("select * from Subject"), Db::Questions);
    QList<SubjectRow> rows;
    for (; !rs->isEOF(); rs->moveNext())
        rows << SubjectRow{rs->getInt(QStringLiteral("ID")), rs->getString(QStringLiteral("科目"))};
    return rows;
}

QStringList readSubjects()
{
    QStringList names;
    for (const SubjectRow &row : readRows())
        names << row.name;
    return names;
}

AddResult add(const QString &name)
{
    if (name.isEmpty())
        return AddResult::Empty;
    for (const SubjectRow &row : readRows())
        if (row.name == name)
            return AddResult::Exists;
    CADOConn conn;
    conn.executeOrThrow(QStringLiteral("insert into Subject (科目) values (?)"), Db::Questions, {name});
    return AddResult::Added;
}

void clear()
{
    CADOConn conn;
    DbTransaction tx(conn, Db::Questions);
    conn.executeOrThrow(QStringLiteral("delete from Subject"), Db::Questions);
    tx.commit();
}

void remove(int id)
{
    CADOConn conn;
    conn.execute(QStringLiteral("delete from Subject where ID=?"), Db::Questions, {id});
}

QStringList usedInBank()
{
    QStringList list;
    CADOConn conn;
    bool first = true;
    for (const QString &type : QuestionType::names()) {
        RecordsetPtr rs = conn.openRecordset(
            QStringLiteral("select distinct 科目 from %1").arg(QuestionType::checkedTable(type)), Db::Questions);
        for (; !rs->isEOF(); rs->moveNext()) {
            const QString subject = rs->getString(QStringLiteral("科目"));
            // A subject that begins an entry already listed (数学 after 数学二)
            // is taken as listed.
            const bool listed = !first && std::any_of(list.cbegin(), list.cend(), [&](const QString &entry) {
                return entry.startsWith(subject, Qt::CaseInsensitive);
            });
            if (!listed)
                list << subject;
        }
        first = false;
    }
    return list;
}

} // namespace Subjects
