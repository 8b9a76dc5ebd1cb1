#include "admin/Roster.h"

#include "store/XlsReader.h"
#include "store/CADOConn.h"
#include "store/Schema.h"
#include "store/SettingsFile.h"

#include <QHash>
#include <QSet>

void RosterList::append(const RosterPerson &person)
{
    m_ids.push_back(person.id);
    for (const QString *field : {&person.name, &person.department, &person.post})
        m_texts.add(*field);
}

RosterPerson RosterList::at(int i) const
{
    return RosterPerson{m_ids[size_t(i)], m_texts.text(i, 0), m_texts.text(i, 1), m_texts.text(i, 2)};
}

void RosterList::squeeze()
{
    m_ids.shrink_to_fit();
    m_texts.squeeze();
}

namespace Roster {

namespace {

RosterPerson personOf(const CRecordset &r)
{
    return RosterPerson{r.getInt(QStringLiteral("ID")), r.getString(QStringLiteral("姓名")),
                        r.getString(QStringLiteral("部门")), r.getString(QStringLiteral("职务"))};
}

QList<RosterPerson> rowsOf(CRecordset &r)
{
    QList<RosterPerson> rows;
    rows.reserve(r.recordCount());
    for (r.moveFirst(); !r.isEOF(); r.moveNext())
        rows << personOf(r);
    return rows;
}

int countIn(CADOConn &conn)
{
    return conn.openRecordset(QStringLiteral("select count(*) as n from examinee"), Db::Personnel)
        ->getInt(QStringLiteral("n"));
}

} // namespace

int removeDuplicates(CADOConn &conn)
{
    const int before = countIn(conn);
    conn.executeOrThrow(QStringLiteral("delete from  examinee where id not in(select min(id) from examinee group by "
                                       "姓名,职务,部门)"),
                        Db::Personnel);
    conn.executeOrThrow(QStringLiteral("delete from examinee where 姓名 is null"), Db::Personnel);
    return before - countIn(conn);
}

Query query(const QString &name, const QString &department, const QString &post, QList<RosterPerson> *rows)
{
    if (name.isEmpty() && department.isEmpty() && post.isEmpty())
        return Query::NoCondition;
    QString sql;
    QVariantList params;
    if (!name.isEmpty()) {
        sql = QStringLiteral("select * from examinee where 姓名=?");
        params << name;
        if (!department.isEmpty()) {
            sql += QStringLiteral(" and 部门=?");
            params << department;
        }
    } else {
        sql = QStringLiteral("select * from examinee where 部门=?");
        params << department;
    }
    if (!post.isEmpty()) {
        sql += QStringLiteral(" and 职务=?");
        params << post;
    }
    CADOConn conn;
    RecordsetPtr r = conn.openRecordset(sql, Db::Personnel, params);
    QList<RosterPerson> found = rowsOf(*r);
    conn.close();
    if (found.isEmpty())
        return Query::NoMatch;
    if (rows)
        *rows = std::move(found);
    return Query::Found;
}

RosterList all()
{
    CADOConn conn;
    RosterList rows;
    // Read one row at a time: only the packed list grows.
    conn.forEachRow(QStringLiteral("select ID,姓名,部门,职务 from examinee"), Db::Personnel, {},
                    [&rows](const CRecordset &r) {
                        rows.append(personOf(r));
                        return true;
                    });
    conn.close();
    rows.squeeze();
    return rows;
}

Add add(const QString &name, const QString &department, const QString &post)
{
    if (name.isEmpty() || department.isEmpty() || post.isEmpty())
        return Add::EmptyField;
    if (name.contains(QLatin1Char(';')))
        return Add::Semicolon;
    CADOConn conn;
    RecordsetPtr existing = conn.openRecordset(
        QStringLiteral("select * from  examinee where 姓名=? and 部门=? and 职务=?"), Db::Personnel,
        {name, department, post});
    if (existing->recordCount() > 0)
        return Add::Exists;
    conn.executeOrThrow(QStringLiteral("insert into examinee (姓名,部门,职务) values (?,?,?)"), Db::Personnel,
                        {name, department, post});
    conn.close();
    return Add::Added;
}

void remove(int id)
{
    CADOConn conn;
    conn.executeOrThrow(QStringLiteral("delete from examinee where ID=?"), Db::Personnel, {id});
    conn.close();
}

int count()
{
    CADOConn conn;
    const int n = countIn(conn);
    conn.close();
    return n;
}

bool removeAll()
{
    CADOConn conn;
    if (countIn(conn) == 0)
        return false;
    conn.executeOrThrow(QStringLiteral("delete from examinee"), Db::Personnel);
    conn.close();
    return true;
}

int removeDuplicates()
{
    CADOConn conn;
    DbTransaction tx(conn, Db::Personnel);
    const int removed = removeDuplicates(conn);
    tx.commit();
    conn.close();
    return removed;
}

} // namespace Roster

namespace RosterImport {

namespace {
const QStringList kColumns{QStringLiteral("姓名"), QStringLiteral("部门"), QStringLiteral("职务")};

// Notes the complete rows that no department/post list of the program offers.
template<typename Rows>
void findUnknown(const Rows &rows, RosterImportResult &result)
{
    QHash<QString, QSet<QString>> known;
    for (const DepartmentNode &d : SettingsFile().readDepartmentTree())
        known[d.name].unite(QSet<QString>(d.posts.begin(), d.posts.end()));
    QSet<QString> seenDepartments, seenPosts;
    for (const auto &row : rows) {
        const QString &department = *(*row.cells)[1];
        const QString &post = *(*row.cells)[2];
        const auto found = known.constFind(department);
        if (found != known.cend() && found->contains(post))
            continue;
        ++result.unknownRows;
        if (found == known.cend() && !seenDepartments.contains(department)) {
            seenDepartments.insert(department);
            result.unknownDepartments << department;
        }
        const QString pair = department + QLatin1Char('/') + post;
        if (!seenPosts.contains(pair)) {
            seenPosts.insert(pair);
            result.unknownPosts << pair;
        }
    }
}

// At most this many names of a list go into the message.
constexpr int kNamesShown = 10;

QString nameList(const QStringList &names)
{
    QString text = names.mid(0, kNamesShown).join(QStringLiteral("、"));
    if (names.size() > kNamesShown)
        text += QStringLiteral("等%1个").arg(names.size());
    return text;
}
} // namespace

RosterImportResult run(XlsWorkbook &book)
{
    RosterImportResult result;
    const std::optional<XlsSheet> sheet = book.sheet(kSheet);
    QString header;
    if (sheet)
        for (const QString &c : sheet->columns)
            header += c + QLatin1Char('|');
    if (header != QStringLiteral("姓名|部门|职务|")) {
        result.status = RosterImportResult::BadHeader;
        return result;
    }

    const XlsCompleteRows complete = sheet->completeRows({0, 1, 2});
    const std::vector<XlsRow> &rows = complete.rows;
    result.counted = int(rows.size());
    result.skipped = complete.skipped;
    if (rows.empty()) {
        result.status = RosterImportResult::NoData;
        return result;
    }
    // A text the columns cannot hold is refused before anything is written.
    if (complete.tooLongRow > 0) {
        result.status = RosterImportResult::TooLong;
        result.sheetRow = complete.tooLongRow;
        return result;
    }

    CADOConn conn;
    DbTransaction tx(conn, Db::Personnel);
    const QString insert = QStringLiteral("insert into examinee (姓名,部门,职务) values (?,?,?)");
    for (const XlsRow &row : rows) {
        const QString &name = *(*row.cells)[0];
        const QString &department = *(*row.cells)[1];
        const QString &post = *(*row.cells)[2];
        const QLatin1Char semicolon(';');
        RosterImportResult::Status refused = RosterImportResult::Done;
        if (name.contains(semicolon))
            refused = RosterImportResult::SemicolonName;
        else if (department.contains(semicolon))
            refused = RosterImportResult::SemicolonDepartment;
        else if (post.contains(semicolon))
            refused = RosterImportResult::SemicolonPost;
        if (refused != RosterImportResult::Done) {
            // The rows before it stay, without the duplicate removal.
            result.status = refused;
            result.sheetRow = row.sheetRow;
            tx.commit();
            conn.close();
            return result;
        }
        conn.executeOrThrow(insert, Db::Personnel, {name, department, post});
        ++result.stored;
    }
    result.removed = Roster::removeDuplicates(conn);
    tx.commit();
    conn.close();
    findUnknown(rows, result);
    return result;
}

} // namespace RosterImport

QString RosterImportResult::message() const
{
    switch (status) {
    case BadHeader:
        return QStringLiteral("Excel考生表没有按照模板要求输入，导入失败！");
    case NoData:
        return QStringLiteral("导入表格无数据！");
    case TooLong:
        return QStringLiteral("Excel考生表第%1行有超过%2个字符的内容，导入失败！").arg(sheetRow).arg(Schema::MaxText);
    case SemicolonName:
        return QStringLiteral("考生姓名中不能含有';'！");
    case SemicolonDepartment:
        return QStringLiteral("部门名称中不能含有';'！");
    case SemicolonPost:
        return QStringLiteral("职务名称中不能含有';'！");
    case Done: {
        QString text = QStringLiteral("导入数据%1条，已删除%2条重复数据！").arg(counted).arg(removed);
        if (skipped > 0)
            text += QStringLiteral("\n另有%1行的姓名、部门或职务为空，未导入。").arg(skipped);
        if (unknownRows > 0) {
            text += QStringLiteral("\n其中%1条考生的部门或职务不在岗位设置中，创建考试时无法选到：").arg(unknownRows);
            if (!unknownDepartments.isEmpty())
                text += QStringLiteral("\n部门：") + RosterImport::nameList(unknownDepartments);
            text += QStringLiteral("\n职务：") + RosterImport::nameList(unknownPosts);
            text += QStringLiteral("\n请在岗位设置中添加。");
        }
        return text;
    }
    }
    return QString();
}
