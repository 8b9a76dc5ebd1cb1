#include "store/ServerSetup.h"

#include "store/CADOConn.h"
#include "store/Integrity.h"
#include "store/Schema.h"
#include "store/ServerDialect.h"
#include "store/Engine.h"
#include "store/SharedFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QRandomGenerator>

#include <libpq-fe.h>

namespace ServerSetup {

namespace {

class Session
{
public:
    explicit Session(const QString &connection)
        : m_conn(PQconnectdb(connection.toUtf8().constData()))
    {
        if (PQstatus(m_conn) != CONNECTION_OK)
            m_error = QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
        else
            PQsetClientEncoding(m_conn, "UTF8");
    }
    ~Session() { PQfinish(m_conn); }

    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    // Runs one statement with its values bound; the first failure is kept and
    // every later statement skipped.
    QStringList run(const QString &sql, const QStringList &values = {})
    {
        QStringList first;
        if (!ok())
            return first;
        std::vector<QByteArray> bytes;
        std::vector<const char *> pointers;
        for (const QString &v : values)
            bytes.push_back(v.toUtf8());
        for (const QByteArray &b : bytes)
            pointers.push_back(b.constData());
        PGresult *r = PQexecParams(m_conn, sql.toUtf8().constData(), int(pointers.size()), nullptr,
                                   pointers.data(), nullptr, nullptr, 0);
        const ExecStatusType status = PQresultStatus(r);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            m_error = QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
        else if (PQntuples(r) > 0)
            for (int c = 0; c < PQnfields(r); ++c)
                first << QString::fromUtf8(PQgetvalue(r, 0, c));
        PQclear(r);
        return first;
    }

    QString quotedLiteral(const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        char *q = PQescapeLiteral(m_conn, utf8.constData(), utf8.size());
        const QString out = QString::fromUtf8(q);
        PQfreemem(q);
        return out;
    }

private:
    PGconn *m_conn;
    QString m_error;
};

QString schemaOf(const QString &file)
{
    return QString(file).remove(QStringLiteral(".mdb"));
}

QString randomPassword()
{
    static const char alphabet[] = "abcdefghijkmnpqrstuvwxyz23456789";
    QString out;
    for (int i = 0; i < 20; ++i)
        out += QLatin1Char(alphabet[QRandomGenerator::system()->bounded(int(sizeof alphabet) - 1)]);
    return out;
}

} // namespace

Result create(const QString &connection, const QString &stationRole)
{
    Result result;
    Session db(connection);
    db.run(QStringLiteral("begin"));
    if (!db.run(QStringLiteral("select 1 from pg_namespace where nspname in ('questions','personnel')")).isEmpty()) {
        result.error = QStringLiteral("这个数据库里已经有考试数据，不再重建。");
        return result;
    }
    for (const QString &file : {Db::Questions, Db::Personnel}) {
        const QString schema = schemaOf(file);
        db.run(QStringLiteral("create schema %1").arg(schema));
        db.run(QStringLiteral("set local search_path to %1").arg(schema));
        for (const QString &sql : Schema::storedTables(file) + Schema::indexes(file) + Schema::addedTables(file))
            db.run(ServerDialect::tableDefinition(ServerDialect::statement(sql)));
        for (const QString &sql : ServerDialect::valFunctions())
            db.run(sql);
    }
    // What one desktop keeps as files: the settings text and the pictures.
    db.run(QStringLiteral("create table personnel.settings (name text primary key, content text not null)"));
    db.run(QStringLiteral("create table questions.pictures (name text primary key, content text not null)"));
    const QStringList admin = passwordDigests(Account::Admin, initialPassword(Account::Admin));
    const QStringList manager = passwordDigests(Account::Manager, initialPassword(Account::Manager));
    for (int i = 0; i < 3; ++i)
        db.run(QStringLiteral("insert into personnel.lastpass (系统管理员密码, 考试管理员密码) values ($1, $2)"),
               {admin.at(i), manager.at(i)});

    // The stations read and write rows, nothing more: no tables made or dropped.
    const QString role = QStringLiteral("\"%1\"").arg(QString(stationRole).remove(QLatin1Char('"')));
    if (db.run(QStringLiteral("select 1 from pg_roles where rolname=$1"), {stationRole}).isEmpty()) {
        result.stationPassword = randomPassword();
        db.run(QStringLiteral("create role %1 login password %2").arg(role, db.quotedLiteral(result.stationPassword)));
    }
    db.run(QStringLiteral("grant connect on database %1 to %2")
               .arg(db.run(QStringLiteral("select quote_ident(current_database())")).value(0), role));
    for (const QString &schema : {QStringLiteral("questions"), QStringLiteral("personnel")}) {
        db.run(QStringLiteral("grant usage on schema %1 to %2").arg(schema, role));
        db.run(QStringLiteral("grant select, insert, update, delete on all tables in schema %1 to %2").arg(schema, role));
        db.run(QStringLiteral("grant usage, select on all sequences in schema %1 to %2").arg(schema, role));
        db.run(QStringLiteral("grant execute on all functions in schema %1 to %2").arg(schema, role));
    }
    db.run(QStringLiteral("commit"));
    result.error = db.error();
    result.stationRole = stationRole;
    if (!result.error.isEmpty())
        result.stationPassword.clear();
    return result;
}

namespace {

// Every row of the file's tables, written to the server's store of the same
// name through the wrapper (inside the caller's transaction).
void copyTables(detail::DbHandle &source, CADOConn &target, const QString &file)
{
    QStringList tables = Schema::storedTableNames(file);
    if (file == Db::Personnel) {
        tables << QStringLiteral("Sitting") << QStringLiteral("SittingQuestion");
        // The initial digests give way to the folder's own.
        target.executeOrThrow(QStringLiteral("delete from LastPass"), file);
    }
    for (const QString &table : std::as_const(tables)) {
        QStringList columns;
        std::vector<detail::ResultRow> rows;
        QString error;
        if (!source.select(QStringLiteral("select * from %1").arg(table), {}, QString(), &columns, &rows, &error))
            throw DbError(QStringLiteral("%1 %2: %3").arg(file, table, error));
        const QString insert = QStringLiteral("insert into %1 (%2) values (%3)")
                                   .arg(table, columns.join(QLatin1Char(',')),
                                        QStringList(QList<QString>(columns.size(), QStringLiteral("?")))
                                            .join(QLatin1Char(',')));
        for (const detail::ResultRow &row : rows) {
            QVariantList values;
            for (const std::optional<QString> &v : row.values)
                values << Db::nullable(v);
            target.executeOrThrow(insert, file, values);
        }
        // Keys made later follow the copied ones.
        for (const QString &key : {QStringLiteral("ID"), QStringLiteral("考试号")}) {
            if (!columns.contains(key) || (key == QStringLiteral("考试号") && table != QLatin1String("ExamArrange")))
                continue;
            target.executeOrThrow(QStringLiteral("select setval(pg_get_serial_sequence(?, ?), "
                                                 "coalesce((select max(%1) from %2), 0) + 1, false)")
                                      .arg(key, table),
                                  file, {table.toLower(), key.toLower()});
        }
    }
}

void copySharedFiles(const QString &dir)
{
    QString error;
    auto share = [&](SharedFiles::Kind kind, const QString &path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw DbError(QStringLiteral("无法读取 %1：%2").arg(path, file.errorString()));
        if (!SharedFiles::write(kind, QFileInfo(path).fileName(), file.readAll(), &error))
            throw DbError(error);
    };
    const QString settings = QDir(dir).filePath(QStringLiteral("vornconf.ini"));
    if (QFileInfo::exists(settings))
        share(SharedFiles::Kind::Settings, settings);
    const QDir pictures(QDir(dir).filePath(QStringLiteral("QuestionMap")));
    for (const QString &name : pictures.entryList(QDir::Files))
        share(SharedFiles::Kind::Picture, pictures.filePath(name));
}

// The first row whose code does not match, or empty.
QString firstUnsealed(CADOConn &questions, CADOConn &personnel)
{
    auto each = [](CADOConn &conn, const QString &file, const QString &sql, auto sealed) -> int {
        RecordsetPtr r = conn.openRecordset(sql, file);
        for (r->moveFirst(); !r->isEOF(); r->moveNext())
            if (!sealed(*r))
                return r->getInt(QStringLiteral("ID"));
        return 0;
    };
    auto unsealed = [](const QString &what, int id) {
        return QStringLiteral("%1（ID %2）的保存码不符，数据可能被改动过。").arg(what).arg(id);
    };
    if (int id = each(questions, Db::Questions, QStringLiteral("select * from exampaper"), paperSealed))
        return unsealed(QStringLiteral("试卷"), id);
    RecordsetPtr exams = personnel.openRecordset(QStringLiteral("select * from ExamArrange"), Db::Personnel);
    for (exams->moveFirst(); !exams->isEOF(); exams->moveNext()) {
        if (!examSealed(*exams))
            return unsealed(QStringLiteral("考试"), exams->getInt(QStringLiteral("考试号")));
        if (checkRosterCounters(personnel, exams->getInt(QStringLiteral("考试号"))) != CounterCheck::Ok)
            return QStringLiteral("考试号 %1 的考生计数与报名不符，数据可能被改动过。")
                .arg(exams->getInt(QStringLiteral("考试号")));
    }
    if (int id = each(personnel, Db::Personnel, QStringLiteral("select * from ExamRegister"),
                      [](const CRecordset &r) { return r.isNull(QStringLiteral("成绩")) ? registrationSealed(r) : resultSealed(r); }))
        return unsealed(QStringLiteral("报名或成绩"), id);
    if (int id = each(personnel, Db::Personnel, QStringLiteral("select * from Sitting"), sittingSealed))
        return unsealed(QStringLiteral("考试记录"), id);
    if (int id = each(personnel, Db::Personnel, QStringLiteral("select * from SittingQuestion"), sittingQuestionSealed))
        return unsealed(QStringLiteral("考试记录中的试题"), id);
    return QString();
}

} // namespace

QString copyFrom(const QString &connection, const QString &dir)
{
    std::shared_ptr<detail::DbHandle> sources[2];
    const QString files[2] = {Db::Questions, Db::Personnel};
    for (int i = 0; i < 2; ++i) {
        QString error;
        sources[i] = detail::openFileHandle(QDir(dir).absoluteFilePath(files[i]), false, &error);
        if (!sources[i])
            return QStringLiteral("无法打开 %1：%2").arg(QDir(dir).absoluteFilePath(files[i]), Db::explain(error));
    }
    const QString previous = CADOConn::server();
    CADOConn::useServer(connection);
    QString error;
    {
        CADOConn questions, personnel;
        try {
            DbTransaction q(questions, Db::Questions);
            DbTransaction p(personnel, Db::Personnel);
            copyTables(*sources[0], questions, Db::Questions);
            copyTables(*sources[1], personnel, Db::Personnel);
            // The settings text and the pictures, in the same transactions.
            copySharedFiles(dir);
            // Read back on the server, inside the copy: nothing is kept when a code fails.
            error = firstUnsealed(questions, personnel);
            if (error.isEmpty()) {
                q.commit();
                p.commit();
            }
        } catch (const DbError &e) {
            error = Db::explain(e.text());
        }
    }
    CADOConn::useServer(previous);
    return error;
}

} // namespace ServerSetup
