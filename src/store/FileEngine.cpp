// The engine of one desktop: an encrypted SQLite (SQLCipher) file of the
// working directory.
#include "store/CADOConn.h"
#include "store/Engine.h"
#include "store/Schema.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>

#include <sqlite3.h>
#include <sys/stat.h>

#include <cmath>
#include <memory>
#include <cstring>
#include <string>

namespace detail {

namespace {

// Jet's Val(): the number at the start of a text (spaces skipped), else 0.
void sqlVal(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER || sqlite3_value_type(argv[0]) == SQLITE_FLOAT) {
        sqlite3_result_double(ctx, sqlite3_value_double(argv[0]));
        return;
    }
    const char *s = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    std::string digits;
    bool seenDigit = false, seenPoint = false, seenExp = false;
    for (const char *p = s; p && *p; ++p) {
        const char c = *p;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        if (c >= '0' && c <= '9') {
            digits += c;
            seenDigit = true;
        } else if ((c == '+' || c == '-') && (digits.empty() || digits.back() == 'e')) {
            digits += c;
        } else if (c == '.' && !seenPoint && !seenExp) {
            digits += c;
            seenPoint = true;
        } else if ((c == 'e' || c == 'E') && seenDigit && !seenExp) {
            digits += 'e';
            seenExp = true;
        } else {
            break;
        }
    }
    while (!digits.empty() && (digits.back() == 'e' || digits.back() == '+' || digits.back() == '-'))
        digits.pop_back();
    double v = 0;
    if (seenDigit) {
        v = std::strtod(digits.c_str(), nullptr);
        if (!std::isfinite(v))
            v = 0;
    }
    sqlite3_result_double(ctx, v);
}

QString openError(int rc, sqlite3 *db)
{
    if (db)
        return QString::fromUtf8(sqlite3_errmsg(db));
    return QString::fromUtf8(sqlite3_errstr(rc));
}

void bindAll(sqlite3_stmt *stmt, const QVariantList &params)
{
    for (int i = 0; i < params.size(); ++i) {
        const QVariant &v = params.at(i);
        const int index = i + 1;
        if (v.isNull() || !v.isValid()) {
            sqlite3_bind_null(stmt, index);
            continue;
        }
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Bool:
            sqlite3_bind_int64(stmt, index, v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            sqlite3_bind_double(stmt, index, v.toDouble());
            break;
        default: {
            const QByteArray utf8 = v.toString().toUtf8();
            sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
}

std::optional<QString> columnText(sqlite3_stmt *stmt, int i)
{
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_NULL:
        return std::nullopt;
    case SQLITE_INTEGER:
        return QString::number(sqlite3_column_int64(stmt, i));
    case SQLITE_FLOAT:
        return QString::number(sqlite3_column_double(stmt, i), 'g', QLocale::FloatingPointShortest);
    default: {
        const char *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, i));
        return QString::fromUtf8(text, sqlite3_column_bytes(stmt, i));
    }
    }
}

QString quoted(const QString &name)
{
    QString n = name;
    return QLatin1Char('"') + n.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// Statements that only lock on a server: one desktop's file is held by the
// program alone, so the row lock is dropped here.
QString withoutRowLock(const QString &sql)
{
    static const QString suffix = QStringLiteral(" for update");
    return sql.endsWith(suffix, Qt::CaseInsensitive) ? sql.left(sql.size() - suffix.size()) : sql;
}

class FileHandle final : public DbHandle
{
public:
    ~FileHandle() override
    {
        for (sqlite3_stmt *s : std::as_const(m_statements))
            sqlite3_finalize(s);
        if (m_db)
            sqlite3_close_v2(m_db);
    }

    bool open(const QString &path, bool create, QString *error)
    {
        struct stat st {};
        const QByteArray native = QFile::encodeName(path);
        const bool exists = ::stat(native.constData(), &st) == 0;
        int rc = sqlite3_open_v2(native.constData(), &m_db,
                                 SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0), nullptr);
        if (rc != SQLITE_OK) {
            *error = openError(rc, m_db);
            return false;
        }
        if (exists && st.st_size == 0 && !create) {
            // The engine would take an empty file for a new database and write
            // one; a delivered file is never empty.
            *error = QString::fromUtf8(sqlite3_errstr(SQLITE_NOTADB));
            return false;
        }
        rc = sqlite3_key(m_db, Db::Password, int(std::strlen(Db::Password)));
        if (rc != SQLITE_OK) {
            *error = openError(rc, m_db);
            return false;
        }
        // A wrong key or a file that is no database shows here, not at the first query.
        rc = sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            *error = openError(rc, m_db);
            return false;
        }
        sqlite3_busy_timeout(m_db, 5000);
        // The program is the file's only user while it runs. Holding the lock
        // keeps the decrypted pages cached between commands; otherwise every
        // command would decrypt its pages again.
        sqlite3_exec(m_db, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
        // Up to 64 MiB of decrypted pages per file: a search that reads every stem
        // of a large bank would otherwise decrypt its pages again each time.
        sqlite3_exec(m_db, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
        if (create) {
            // A lab station's own working tables: the sitting on the server
            // keeps the answers, and this copy only bridges a short loss of
            // it. A write-ahead log survives the program's crash without
            // waiting for the disk at every answer.
            sqlite3_exec(m_db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
            sqlite3_exec(m_db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
        } else {
            // A commit reaches the disk before the program goes on (the engine's
            // default, stated because a stored sitting relies on it).
            sqlite3_exec(m_db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
        }
        // Files made before an index was added get it here, once; a table that is
        // missing or damaged leaves its index out and is reported where it is used.
        const QString fileName = QFileInfo(path).fileName();
        for (const QString &sql : Schema::indexes(fileName))
            sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
        // Tables added since: all of them or none, so a folder of an older
        // version opens as it is.
        if (const QStringList added = Schema::addedTables(fileName); !added.isEmpty()) {
            bool made = sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
            for (const QString &sql : added)
                made = made && sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
            sqlite3_exec(m_db, made ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr);
        }
        sqlite3_create_function_v2(m_db, "val", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, sqlVal, nullptr,
                                   nullptr, nullptr);
        return true;
    }

    bool select(const QString &sql, const QVariantList &params, const QString &keyedTable, QStringList *columns,
                std::vector<ResultRow> *rows, QString *error) override
    {
        QString text = withoutRowLock(sql);
        if (!keyedTable.isEmpty()) {
            // "select * from T rest" -> "select rowid, * from T rest"
            const int star = text.indexOf(QLatin1Char('*'));
            text = text.left(star) + QStringLiteral("rowid, ") + text.mid(star);
        }
        sqlite3_stmt *stmt = bound(text, params, error);
        if (!stmt)
            return false;
        const int first = keyedTable.isEmpty() ? 0 : 1;
        const int count = sqlite3_column_count(stmt);
        columns->clear();
        for (int i = first; i < count; ++i)
            *columns << QString::fromUtf8(sqlite3_column_name(stmt, i));
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            ResultRow row;
            if (first)
                row.key = qint64(sqlite3_column_int64(stmt, 0));
            row.values.reserve(count - first);
            for (int i = first; i < count; ++i)
                row.values.push_back(columnText(stmt, i));
            rows->push_back(std::move(row));
        }
        return finish(stmt, rc, error);
    }

    bool each(const QString &sql, const QVariantList &params, QStringList *columns,
              const std::function<bool(ResultRow &row)> &visit, QString *error) override
    {
        sqlite3_stmt *stmt = bound(sql, params, error);
        if (!stmt)
            return false;
        // The cached statement is left reset however the walk ends.
        const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> reset(stmt, sqlite3_reset);
        const int count = sqlite3_column_count(stmt);
        columns->clear();
        for (int i = 0; i < count; ++i)
            *columns << QString::fromUtf8(sqlite3_column_name(stmt, i));
        ResultRow row;
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            row.values.clear();
            for (int i = 0; i < count; ++i)
                row.values.push_back(columnText(stmt, i));
            if (!visit(row))
                return true;
        }
        if (rc != SQLITE_DONE) {
            *error = lastError();
            return false;
        }
        return true;
    }

    bool exec(const QString &sql, const QVariantList &params, QString *error) override
    {
        sqlite3_stmt *stmt = bound(withoutRowLock(sql), params, error);
        if (!stmt)
            return false;
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
        return finish(stmt, rc, error);
    }

    bool readRow(const QString &table, const RowKey &key, ResultRow *row, QString *error) override
    {
        sqlite3_stmt *stmt = prepare(QStringLiteral("select * from %1 where rowid=?").arg(quoted(table)), error);
        if (!stmt)
            return false;
        sqlite3_bind_int64(stmt, 1, key.toLongLong());
        if (sqlite3_step(stmt) != SQLITE_ROW) {
            *error = lastError();
            sqlite3_reset(stmt);
            if (error->isEmpty() || *error == QLatin1String("not an error"))
                *error = QStringLiteral("The row was changed by another user.");
            return false;
        }
        const int count = sqlite3_column_count(stmt);
        row->key = key;
        row->values.assign(count, std::nullopt);
        for (int i = 0; i < count; ++i)
            row->values[i] = columnText(stmt, i);
        sqlite3_reset(stmt);
        return true;
    }

    bool writeRow(const QString &table, const std::optional<RowKey> &key, const QStringList &columns,
                  const QVariantList &values, RowKey *newKey, QString *error) override
    {
        const QString sql = rowWriteStatement(table, columns, key.has_value(), QStringLiteral("rowid"), quoted);
        QVariantList params = values;
        if (key)
            params << *key;
        if (!exec(sql, params, error))
            return false;
        *newKey = key ? *key : RowKey(qint64(sqlite3_last_insert_rowid(m_db)));
        return true;
    }

    bool deleteRow(const QString &table, const RowKey &key, QString *error) override
    {
        return exec(QStringLiteral("delete from %1 where rowid=?").arg(quoted(table)), {key}, error);
    }

    bool insert(const QString &sql, const QVariantList &params, const QString &, qint64 *key,
                QString *error) override
    {
        if (!exec(sql, params, error))
            return false;
        *key = sqlite3_last_insert_rowid(m_db);
        return true;
    }

    bool begin(int depth, QString *error) override
    {
        return run("SAVEPOINT vorn" + QByteArray::number(depth), error);
    }

    bool commit(int depth, QString *error) override
    {
        return run("RELEASE vorn" + QByteArray::number(depth), error);
    }

    void rollback(int depth) override
    {
        const QByteArray name = "vorn" + QByteArray::number(depth);
        run("ROLLBACK TO " + name, nullptr);
        run("RELEASE " + name, nullptr);
    }

    void forget(const QString &sql) override
    {
        sqlite3_finalize(m_statements.take(withoutRowLock(sql)));
    }

private:
    QString lastError() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }

    bool run(const QByteArray &sql, QString *error)
    {
        if (sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK)
            return true;
        if (error)
            *error = lastError();
        return false;
    }

    bool finish(sqlite3_stmt *stmt, int rc, QString *error)
    {
        if (rc != SQLITE_DONE) {
            *error = lastError();
            sqlite3_reset(stmt);
            return false;
        }
        sqlite3_reset(stmt);
        return true;
    }

    // The prepared statement with its parameters bound.
    sqlite3_stmt *bound(const QString &sql, const QVariantList &params, QString *error)
    {
        sqlite3_stmt *stmt = prepare(sql, error);
        if (!stmt)
            return nullptr;
        if (sqlite3_bind_parameter_count(stmt) != params.size()) {
            *error = QStringLiteral("wrong number of parameters");
            return nullptr;
        }
        bindAll(stmt, params);
        return stmt;
    }

    // Cached prepared statement, reset and cleared of bindings.
    sqlite3_stmt *prepare(const QString &sql, QString *error)
    {
        auto it = m_statements.find(sql);
        if (it != m_statements.end()) {
            sqlite3_reset(*it);
            sqlite3_clear_bindings(*it);
            return *it;
        }
        sqlite3_stmt *stmt = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &stmt, nullptr) != SQLITE_OK) {
            *error = lastError();
            sqlite3_finalize(stmt);
            return nullptr;
        }
        if (!stmt) { // only white space or a comment
            *error = QStringLiteral("empty statement");
            return nullptr;
        }
        if (m_statements.size() > 256) {
            for (sqlite3_stmt *s : std::as_const(m_statements))
                sqlite3_finalize(s);
            m_statements.clear();
        }
        m_statements.insert(sql, stmt);
        return stmt;
    }

    sqlite3 *m_db = nullptr;
    QHash<QString, sqlite3_stmt *> m_statements;
};

} // namespace

std::shared_ptr<DbHandle> openFileHandle(const QString &path, bool create, QString *error)
{
    auto handle = std::make_shared<FileHandle>();
    if (!handle->open(path, create, error))
        return nullptr;
    return handle;
}

} // namespace detail
