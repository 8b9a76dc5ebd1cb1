// The engine of an exam lab: the stores on a PostgreSQL server, reached with
// libpq. The station's own working tables stay in a file of its working
// directory, so forty draws never meet and an exam goes on while the server
// is away for a moment.
#include "store/Engine.h"
#include "store/ServerDialect.h"

#include <QDir>
#include <QHash>
#include <QSet>

#include <libpq-fe.h>

#include <utility>

namespace detail {

namespace {

// The advisory lock space of the program's locks on the server.
constexpr int kLockSpace = 7201;

QString quoted(const QString &name)
{
    return ServerDialect::statement(QLatin1Char('"') + name + QLatin1Char('"'));
}

QString serverText(PGconn *conn)
{
    return QString::fromUtf8(PQerrorMessage(conn)).trimmed();
}

class ServerHandle final : public DbHandle
{
public:
    ~ServerHandle() override
    {
        if (m_conn)
            PQfinish(m_conn);
    }

    bool open(const QString &connection, const QString &file, const QString &workDir, QString *error)
    {
        m_schema = QString(file).remove(QStringLiteral(".mdb"));
        m_localPath = QDir(workDir).absoluteFilePath(QStringLiteral("station-%1.db").arg(m_schema));
        m_connection = connection.toUtf8();
        // The encoding goes with the connection, not as a command after it. A
        // server out of reach holds the window at most a few seconds per
        // attempt, unless the station's string says otherwise.
        const char *const keys[] = {"connect_timeout", "dbname", "client_encoding", nullptr};
        const char *const values[] = {"3", m_connection.constData(), "UTF8", nullptr};
        m_conn = PQconnectdbParams(keys, values, 1);
        if (!connected(error))
            return false;
        std::vector<ResultRow> rows;
        QStringList columns;
        if (!query(QStringLiteral("select 1 from pg_namespace where nspname=?"), {m_schema}, false, &columns, &rows,
                   error))
            return false;
        if (rows.empty()) {
            *error = QStringLiteral("服务器上的数据库还没有建好（缺少 %1）：请先运行 vorn-setup --server。").arg(m_schema);
            return false;
        }
        return true;
    }

    bool select(const QString &sql, const QVariantList &params, const QString &keyedTable, QStringList *columns,
                std::vector<ResultRow> *rows, QString *error) override
    {
        if (ServerDialect::onWorkingTable(sql) || ServerDialect::isWorkingTable(keyedTable))
            return local(error) && m_local->select(sql, params, keyedTable, columns, rows, error);
        QString text = sql;
        if (!keyedTable.isEmpty()) {
            const int star = text.indexOf(QLatin1Char('*'));
            text = text.left(star) + QStringLiteral("ctid, ") + text.mid(star);
        }
        return query(text, params, !keyedTable.isEmpty(), columns, rows, error);
    }

    bool each(const QString &sql, const QVariantList &params, QStringList *columns,
              const std::function<bool(ResultRow &row)> &visit, QString *error) override
    {
        if (ServerDialect::onWorkingTable(sql))
            return local(error) && m_local->each(sql, params, columns, visit, error);
        // Row by row as the server sends them, never the whole selection at once.
        return run(sql, params, false, columns, visit, true, error);
    }

    bool exec(const QString &sql, const QVariantList &params, QString *error) override
    {
        if (ServerDialect::onWorkingTable(sql))
            return local(error) && m_local->exec(sql, params, error);
        QStringList columns;
        std::vector<ResultRow> rows;
        return query(sql, params, false, &columns, &rows, error);
    }

    bool readRow(const QString &table, const RowKey &key, ResultRow *row, QString *error) override
    {
        if (ServerDialect::isWorkingTable(table))
            return local(error) && m_local->readRow(table, key, row, error);
        QStringList columns;
        std::vector<ResultRow> rows;
        if (!query(QStringLiteral("select * from %1 where ctid=?").arg(quoted(table)), {key}, false, &columns, &rows,
                   error))
            return false;
        if (rows.empty()) {
            *error = QStringLiteral("这条记录已被另一个考试站修改或删除，请重新打开后再试。");
            return false;
        }
        *row = std::move(rows.front());
        row->key = key;
        return true;
    }

    bool writeRow(const QString &table, const std::optional<RowKey> &key, const QStringList &columns,
                  const QVariantList &values, RowKey *newKey, QString *error) override
    {
        if (ServerDialect::isWorkingTable(table))
            return local(error) && m_local->writeRow(table, key, columns, values, newKey, error);
        // The row's place after the write is its key from now on.
        const QString sql = rowWriteStatement(table, columns, key.has_value(), QStringLiteral("ctid"), quoted)
                            + QStringLiteral(" returning ctid");
        QVariantList params = values;
        if (key)
            params << *key;
        QStringList resultColumns;
        std::vector<ResultRow> rows;
        if (!query(sql, params, false, &resultColumns, &rows, error))
            return false;
        if (rows.empty() || !rows.front().values.front()) {
            *error = QStringLiteral("这条记录已被另一个考试站修改或删除，请重新打开后再试。");
            return false;
        }
        *newKey = *rows.front().values.front();
        return true;
    }

    bool deleteRow(const QString &table, const RowKey &key, QString *error) override
    {
        if (ServerDialect::isWorkingTable(table))
            return local(error) && m_local->deleteRow(table, key, error);
        return exec(QStringLiteral("delete from %1 where ctid=?").arg(quoted(table)), {key}, error);
    }

    bool insert(const QString &sql, const QVariantList &params, const QString &keyColumn, qint64 *key,
                QString *error) override
    {
        if (ServerDialect::onWorkingTable(sql))
            return local(error) && m_local->insert(sql, params, keyColumn, key, error);
        QStringList columns;
        std::vector<ResultRow> rows;
        if (!query(sql + QStringLiteral(" returning ") + keyColumn, params, false, &columns, &rows, error))
            return false;
        *key = rows.empty() || !rows.front().values.front() ? 0 : rows.front().values.front()->toLongLong();
        return true;
    }

    bool lost() const override { return PQstatus(m_conn) != CONNECTION_OK; }

    // BEGIN, SAVEPOINT and RELEASE wait for the next statement and go with
    // it: a transaction costs the server no round trips of its own.
    bool begin(int depth, QString *error) override
    {
        if (depth == 0) {
            m_queued.clear();
            // A connection lost between transactions is made again here, once.
            if (lost() && !reconnect(error))
                return false;
        }
        m_queued << Command{depth == 0 ? QByteArray("BEGIN") : "SAVEPOINT vorn" + QByteArray::number(depth)};
        m_depth = depth + 1;
        m_guarded = false;
        return true;
    }

    bool commit(int depth, QString *error) override
    {
        m_depth = depth;
        m_guarded = false;
        if (depth > 0) {
            m_queued << Command{"RELEASE vorn" + QByteArray::number(depth)};
            return true;
        }
        return end("COMMIT", error);
    }

    void rollback(int depth) override
    {
        if (depth == 0)
            end("ROLLBACK", nullptr);
        else
            m_queued << Command{"ROLLBACK TO vorn" + QByteArray::number(depth)}
                     << Command{"RELEASE vorn" + QByteArray::number(depth)};
        m_depth = depth;
        m_guarded = false;
    }

    bool tryLock(qint64 key) override
    {
        if (m_locks.contains(key))
            return true; // the server counts each taking; one is enough
        QStringList columns;
        std::vector<ResultRow> rows;
        QString error;
        // A server that cannot answer is a failure, not another station's hold.
        if (!query(QStringLiteral("select pg_try_advisory_lock(%1, ?::int)").arg(kLockSpace), {key}, false, &columns,
                   &rows, &error))
            throw DbError(error);
        const bool taken = !rows.empty() && rows.front().values.front() == QStringLiteral("t");
        if (taken)
            m_locks.insert(key);
        return taken;
    }

    // Inside a transaction the lock is let go when it ends, in the same round
    // trip as its COMMIT or ROLLBACK.
    void unlock(qint64 key) override
    {
        if (!m_locks.remove(key))
            return;
        if (m_depth > 0) {
            m_unlockAtEnd << key;
            return;
        }
        QStringList columns;
        std::vector<ResultRow> rows;
        QString error;
        query(QStringLiteral("select pg_advisory_unlock(%1, ?::int)").arg(kLockSpace), {key}, false, &columns, &rows,
              &error);
    }

private:
    bool connected(QString *error)
    {
        if (PQstatus(m_conn) != CONNECTION_OK) {
            *error = serverText(m_conn);
            return false;
        }
        const QByteArray path = "set search_path to " + m_schema.toUtf8();
        PGresult *r = PQexec(m_conn, path.constData());
        const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
        if (!ok)
            *error = serverText(m_conn);
        m_prepared.clear();
        return ok;
    }

    // The locks went with the old session: the station takes them again.
    // What waits for the next statement stays waiting.
    bool reconnect(QString *error)
    {
        const QList<Command> queued = std::exchange(m_queued, {});
        const int depth = std::exchange(m_depth, 0);
        PQreset(m_conn);
        const bool ok = connected(error);
        if (ok) {
            const QSet<qint64> held = std::exchange(m_locks, {});
            for (qint64 key : held) {
                try {
                    tryLock(key);
                } catch (const DbError &) {
                    // taken again at the next entry
                }
            }
        }
        m_queued = queued;
        m_depth = depth;
        m_guarded = false;
        return ok;
    }

    // Ends the outermost transaction with command, and lets go of the locks
    // waiting for its end in the same round trip.
    bool end(const QByteArray &command, QString *error)
    {
        QList<Command> commands;
        if (!unsent())
            commands << Command{command};
        m_queued.clear();
        for (qint64 key : std::exchange(m_unlockAtEnd, {}))
            commands << Command{"select pg_advisory_unlock(" + QByteArray::number(kLockSpace) + ", $1::int)",
                                QByteArray::number(key)};
        return commands.isEmpty() || trip(commands, nullptr, {}, false, nullptr, error);
    }

    bool local(QString *error)
    {
        if (!m_local)
            m_local = openFileHandle(m_localPath, true, error);
        return m_local != nullptr;
    }

    // A command sent with the extended protocol, with at most one parameter.
    struct Command
    {
        Command(QByteArray text, QByteArray value = {}) : sql(std::move(text)), param(std::move(value)) {}
        QByteArray sql;
        QByteArray param; // none when null
    };

    // Nothing of the open transaction has reached the server yet.
    bool unsent() const { return unsent(m_queued); }
    static bool unsent(const QList<Command> &queued) { return !queued.isEmpty() && queued.front().sql == "BEGIN"; }

    struct Statement
    {
        QByteArray name;
        QByteArray text; // set when it is still to be prepared
        int count = 0;
        const char *const *values = nullptr;
    };

    // One round trip: the queued commands, then commands and statement
    // (prepared first when new), in one pipeline. onResult sees the
    // statement's result, or each of its rows in turn with singleRows;
    // *failedAt is the index of the first item that failed, counting the
    // queued commands first.
    bool trip(const QList<Command> &commands, const Statement *statement,
              const std::function<void(const PGresult *)> &onResult, bool singleRows, int *failedAt,
              QString *error)
    {
        const QList<Command> items = std::exchange(m_queued, {}) + commands;
        int expected = int(items.size());
        bool sent = PQenterPipelineMode(m_conn) == 1;
        for (const Command &c : items) {
            const char *param = c.param.isNull() ? nullptr : c.param.constData();
            sent = sent
                   && PQsendQueryParams(m_conn, c.sql.constData(), param ? 1 : 0, nullptr, &param, nullptr, nullptr, 0)
                          == 1;
        }
        if (statement) {
            if (!statement->text.isEmpty()) {
                sent = sent
                       && PQsendPrepare(m_conn, statement->name.constData(), statement->text.constData(), 0, nullptr)
                              == 1;
                ++expected;
            }
            sent = sent
                   && PQsendQueryPrepared(m_conn, statement->name.constData(), statement->count, statement->values,
                                          nullptr, nullptr, 0)
                          == 1;
            ++expected;
        }
        sent = sent && PQpipelineSync(m_conn) == 1;
        QString failure;
        int failed = sent ? -1 : 0;
        for (int i = 0; sent && i < expected; ++i) {
            const bool rows = statement && i == expected - 1;
            if (rows && singleRows)
                PQsetSingleRowMode(m_conn);
            PGresult *r = PQgetResult(m_conn);
            if (!r) { // the connection went
                failed = failed < 0 ? i : failed;
                break;
            }
            for (; r; r = PQgetResult(m_conn)) {
                const ExecStatusType status = PQresultStatus(r);
                if (failed < 0 && status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK
                    && status != PGRES_SINGLE_TUPLE) {
                    failed = i;
                    failure = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
                }
                if (rows && failed < 0 && onResult)
                    onResult(r);
                PQclear(r);
            }
        }
        // The sync point's result, then out of pipeline mode. A lost connection
        // is made again before its next use; one that answers but cannot get
        // out is made again now.
        for (int n = 0; n < 4 && PQpipelineStatus(m_conn) != PQ_PIPELINE_OFF && !PQexitPipelineMode(m_conn); ++n)
            PQclear(PQgetResult(m_conn));
        if (PQpipelineStatus(m_conn) != PQ_PIPELINE_OFF && !lost())
            PQreset(m_conn);
        if (failedAt)
            *failedAt = failed;
        if (failed < 0)
            return true;
        if (error)
            *error = failure.isEmpty() ? serverText(m_conn) : failure;
        return false;
    }

    bool query(const QString &sql, const QVariantList &params, bool keyed, QStringList *columns,
               std::vector<ResultRow> *rows, QString *error)
    {
        return run(
            sql, params, keyed, columns,
            [rows](ResultRow &row) {
                rows->push_back(std::move(row));
                return true;
            },
            false, error);
    }

    // Prepares each text once per connection; a failure inside a transaction
    // undoes that statement alone, as the files' engine does.
    bool run(const QString &sql, const QVariantList &params, bool keyed, QStringList *columns,
             const std::function<bool(ResultRow &row)> &visit, bool singleRows, QString *error)
    {
        const QList<Command> queued = m_queued;
        bool visited = false;
        const auto seen = [&](ResultRow &row) {
            visited = true;
            return visit(row);
        };
        for (int attempt = 0;; ++attempt) {
            if (runOnce(sql, params, keyed, columns, seen, singleRows, error))
                return true;
            // A connection lost before this transaction reached the server is
            // made again once; one lost inside it fails it, so no half of it
            // is written.
            if (attempt > 0 || visited || !lost()
                || (m_depth > 0 && !unsent(queued)))
                return false;
            m_queued = queued;
            QString again;
            if (!reconnect(&again))
                return false;
        }
    }

    bool runOnce(const QString &sql, const QVariantList &params, bool keyed, QStringList *columns,
                 const std::function<bool(ResultRow &row)> &visit, bool singleRows, QString *error)
    {
        std::vector<QByteArray> values(params.size());
        std::vector<const char *> pointers(params.size(), nullptr);
        for (int i = 0; i < params.size(); ++i) {
            const QVariant &v = params.at(i);
            if (v.isNull() || !v.isValid())
                continue;
            values[i] = v.typeId() == QMetaType::Bool ? QByteArray(v.toBool() ? "1" : "0") : v.toString().toUtf8();
            pointers[i] = values[i].constData();
        }
        Statement statement;
        const auto it = m_prepared.constFind(sql);
        const bool fresh = it == m_prepared.constEnd();
        statement.name = fresh ? "v" + QByteArray::number(++m_counter) : *it;
        if (fresh)
            statement.text = ServerDialect::statement(sql).toUtf8();
        statement.count = int(params.size());
        statement.values = pointers.data();
        // Inside a transaction each statement runs after a savepoint, so its
        // failure undoes it alone, as on the files. The last one is released
        // in the same round trip.
        if (m_depth > 0) {
            if (m_guarded)
                m_queued << Command{"RELEASE vorn_statement"};
            m_queued << Command{"SAVEPOINT vorn_statement"};
        }
        const int guards = int(m_queued.size());
        int failedAt = -1;
        bool described = false, wanted = true;
        const auto onResult = [&](const PGresult *r) {
            const int first = keyed ? 1 : 0;
            const int count = PQnfields(r);
            if (!described) {
                described = true;
                columns->clear();
                for (int c = first; c < count; ++c)
                    *columns << ServerDialect::columnName(QString::fromUtf8(PQfname(r, c)), sql);
            }
            // Rows after the visitor has had enough are read and dropped.
            for (int i = 0; wanted && i < PQntuples(r); ++i) {
                ResultRow row = rowOf(r, i, keyed);
                wanted = visit(row);
            }
        };
        if (!trip({}, &statement, onResult, singleRows, &failedAt, error)) {
            m_guarded = m_depth > 0 && failedAt >= guards;
            // The statement alone is undone, with the next round trip.
            if (m_guarded)
                m_queued << Command{"ROLLBACK TO vorn_statement"};
            // A prepared statement whose tables changed is prepared again next time.
            m_prepared.remove(sql);
            return false;
        }
        m_guarded = m_depth > 0;
        if (fresh)
            m_prepared.insert(sql, statement.name);
        if (!described) {
            *error = serverText(m_conn);
            return false;
        }
        return true;
    }

    static ResultRow rowOf(const PGresult *r, int i, bool keyed)
    {
        const int first = keyed ? 1 : 0;
        const int count = PQnfields(r);
        ResultRow row;
        if (keyed)
            row.key = QString::fromLatin1(PQgetvalue(r, i, 0));
        row.values.reserve(count - first);
        for (int c = first; c < count; ++c) {
            if (PQgetisnull(r, i, c)) {
                row.values.push_back(std::nullopt);
                continue;
            }
            QString v = QString::fromUtf8(PQgetvalue(r, i, c), PQgetlength(r, i, c));
            if (PQftype(r, c) == 1700 && v.contains(QLatin1Char('.'))) {
                // numeric: no trailing zeros, as the files' engine writes numbers
                while (v.endsWith(QLatin1Char('0')))
                    v.chop(1);
                if (v.endsWith(QLatin1Char('.')))
                    v.chop(1);
            }
            row.values.push_back(std::move(v));
        }
        return row;
    }

    PGconn *m_conn = nullptr;
    QByteArray m_connection;
    QString m_schema;
    QString m_localPath;
    std::shared_ptr<DbHandle> m_local;
    QHash<QString, QByteArray> m_prepared;
    QList<Command> m_queued; // commands that go with the next round trip
    QList<qint64> m_unlockAtEnd; // locks let go when the transaction ends
    QSet<qint64> m_locks;
    int m_counter = 0;
    int m_depth = 0;
    bool m_guarded = false; // a statement's savepoint is open at this depth
};

} // namespace

std::shared_ptr<DbHandle> openServerHandle(const QString &connection, const QString &file, const QString &workDir,
                                           QString *error)
{
    auto handle = std::make_shared<ServerHandle>();
    if (!handle->open(connection, file, workDir, error))
        return nullptr;
    return handle;
}

} // namespace detail
