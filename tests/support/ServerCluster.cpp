#include "support/ServerCluster.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <libpq-fe.h>
#include <pwd.h>
#include <unistd.h>

#include <memory>

namespace ServerCluster {

namespace {

QString binDir()
{
    QStringList versions = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(), [](const QString &a, const QString &b) { return a.toInt() < b.toInt(); });
    return versions.isEmpty() ? QString() : QStringLiteral("/usr/lib/postgresql/%1/bin").arg(versions.last());
}

// The server refuses to run as root: as root, its tools run as nobody.
bool runTool(const QString &tool, const QStringList &args, QString *output)
{
    QProcess p;
    QString program = QDir(binDir()).filePath(tool);
    QStringList arguments = args;
    if (::geteuid() == 0) {
        arguments = QStringList{QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"), program} + args;
        program = QStringLiteral("runuser");
    }
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    const bool ok = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    *output = QString::fromLocal8Bit(p.readAll());
    return ok;
}

struct Cluster
{
    QString folder;
    QString error;
    pid_t owner = 0;
    int databases = 0;

    QString data() const { return folder + QStringLiteral("/data"); }

    // pg_ctl's options for starting the server, and then the command.
    QStringList control(const QString &command) const
    {
        return {QStringLiteral("-D"), data(), QStringLiteral("-w"), QStringLiteral("-s"), QStringLiteral("-m"),
                QStringLiteral("fast"), QStringLiteral("-l"), folder + QStringLiteral("/log"), QStringLiteral("-o"),
                QStringLiteral("-c listen_addresses='' -k %1 -c fsync=off -c max_connections=500 -c shared_buffers=32MB")
                    .arg(folder),
                command};
    }

    bool start()
    {
        QString out;
        if (!runTool(QStringLiteral("pg_ctl"), control(QStringLiteral("start")), &out)) {
            error = QStringLiteral("pg_ctl start: ") + out;
            return false;
        }
        return true;
    }

    bool make()
    {
        if (binDir().isEmpty()) {
            error = QStringLiteral("PostgreSQL is not installed (tools/install-deps.sh installs it)");
            return false;
        }
        QByteArray templ = QDir::tempPath().toLocal8Bit() + "/vorn-pg-XXXXXX";
        if (!::mkdtemp(templ.data())) {
            error = QStringLiteral("mkdtemp failed");
            return false;
        }
        folder = QString::fromLocal8Bit(templ);
        if (::geteuid() == 0) {
            const passwd *nobody = ::getpwnam("nobody");
            if (!nobody || ::chown(templ.constData(), nobody->pw_uid, nobody->pw_gid) != 0) {
                error = QStringLiteral("cannot hand %1 to nobody").arg(folder);
                return false;
            }
        }
        QString out;
        if (!runTool(QStringLiteral("initdb"),
                     {QStringLiteral("-D"), data(), QStringLiteral("-U"), QStringLiteral("vorn_admin"),
                      QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                      QStringLiteral("--locale=C"), QStringLiteral("--no-sync")},
                     &out)) {
            error = QStringLiteral("initdb: ") + out;
            return false;
        }
        owner = ::getpid();
        if (!start())
            return false;
        watch();
        return true;
    }

    // A process that dies without its destructors (a crash, an abort) would
    // leave the server running: a watcher stops it once the process is gone.
    void watch() const
    {
        const QString stop = QStringLiteral("%1 -D %2 -m immediate -s stop")
                                 .arg(QDir(binDir()).filePath(QStringLiteral("pg_ctl")), data());
        const QString script = QStringLiteral("while kill -0 %1 2>/dev/null; do sleep 1; done; %2 >/dev/null 2>&1; rm -rf %3")
                                   .arg(::getpid())
                                   .arg(::geteuid() == 0 ? QStringLiteral("runuser -u nobody -- ") + stop : stop, folder);
        QProcess::startDetached(QStringLiteral("sh"), {QStringLiteral("-c"), script});
    }

    ~Cluster()
    {
        // Children forked by tests end with _exit; only the maker stops it.
        if (owner != ::getpid() || folder.isEmpty())
            return;
        QString out;
        runTool(QStringLiteral("pg_ctl"),
                {QStringLiteral("-D"), data(), QStringLiteral("-m"), QStringLiteral("immediate"),
                 QStringLiteral("-s"), QStringLiteral("stop")},
                &out);
        QDir(folder).removeRecursively();
    }
};

Cluster &cluster()
{
    static Cluster c;
    static const bool made = c.make();
    (void)made;
    return c;
}

QString connectionTo(const QString &database)
{
    return QStringLiteral("host=%1 dbname=%2 user=vorn_admin").arg(cluster().folder, database);
}

} // namespace

QString freshDatabase(QString *error)
{
    Cluster &c = cluster();
    if (!c.error.isEmpty()) {
        *error = c.error;
        return QString();
    }
    const QString name = QStringLiteral("lab%1").arg(++c.databases);
    if (!exec(connectionTo(QStringLiteral("postgres")), QStringLiteral("create database %1").arg(name))) {
        *error = QStringLiteral("create database failed");
        return QString();
    }
    return connectionTo(name);
}

QString asRole(const QString &connection, const QString &role, const QString &password)
{
    QString c = connection;
    c.replace(QStringLiteral("user=vorn_admin"), QStringLiteral("user=%1 password=%2").arg(role, password));
    return c;
}

QList<QStringList> rows(const QString &connection, const QString &sql)
{
    QList<QStringList> out;
    PGconn *conn = PQconnectdb(connection.toUtf8().constData());
    PGresult *r = PQexec(conn, sql.toUtf8().constData());
    for (int i = 0; i < PQntuples(r); ++i) {
        QStringList row;
        for (int c = 0; c < PQnfields(r); ++c)
            row << QString::fromUtf8(PQgetvalue(r, i, c));
        out << row;
    }
    PQclear(r);
    PQfinish(conn);
    return out;
}

bool exec(const QString &connection, const QString &sql)
{
    PGconn *conn = PQconnectdb(connection.toUtf8().constData());
    PGresult *r = PQexec(conn, sql.toUtf8().constData());
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
    PQclear(r);
    PQfinish(conn);
    return ok;
}

bool restart()
{
    QString out;
    return runTool(QStringLiteral("pg_ctl"), cluster().control(QStringLiteral("restart")), &out);
}

bool stop()
{
    QString out;
    return runTool(QStringLiteral("pg_ctl"), cluster().control(QStringLiteral("stop")), &out);
}

bool start()
{
    return cluster().start();
}

} // namespace ServerCluster
