#include "store/CADOConn.h"

#include "store/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <sqlite3.h>
#include <sys/stat.h>

#include <cmath>
#include <map>

DbError::DbError(const QString &text, bool alreadyReported)
    : std::runtime_error(text.toStdString()), m_text(text), m_reported(alreadyReported)
{
}

namespace detail {

// One open engine connection per file for the life of the process: deriving
// the key from the password is slow on purpose, and must be paid once.
struct DbHandle
{
    sqlite3 *db = nullptr;
    dev_t device = 0;
    ino_t inode = 0;
    QString path;
    QHash<QString, sqlite3_stmt *> statements;

    ~DbHandle()
    {
        for (sqlite3_stmt *s : std::as_const(statements))
            sqlite3_finalize(s);
        if (db)
            sqlite3_close_v2(db);
    }

    QString lastError() const { return QString::fromUtf8(sqlite3_errmsg(db)); }

    // Cached prepared statement, reset and cleared of bindings.
    sqlite3_stmt *prepare(const QString &sql, QString *error)
    {
        auto it = statements.find(sql);
        if (it != statements.end()) {
            sqlite3_reset(*it);
            sqlite3_clear_bindings(*it);
            return *it;
        }
        sqlite3_stmt *stmt = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &stmt, nullptr) != SQLITE_OK) {
            if (error)
                *error = lastError();
            sqlite3_finalize(stmt);
            return nullptr;
        }
        if (!stmt) { // only white space or a comment
            if (error)
                *error = QStringLiteral("empty statement");
            return nullptr;
        }
        if (statements.size() > 256) {
            for (sqlite3_stmt *s : std::as_const(statements))
                sqlite3_finalize(s);
            statements.clear();
        }
        statements.insert(sql, stmt);
        return stmt;
    }
};

} // namespace detail

using detail::DbHandle;

namespace {

// The owners that keep handles alive between commands.
std::map<QString, std::shared_ptr<DbHandle>> &cachedHandles()
{
    static std::map<QString, std::shared_ptr<DbHandle>> handles;
    return handles;
}

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

// Opens and keys the file, or explains why not.
std::shared_ptr<DbHandle> openHandle(const QString &path, QString *error)
{
    struct stat st {};
    const QByteArray native = QFile::encodeName(path);
    const bool exists = ::stat(native.constData(), &st) == 0;

    const QString key = path;
    if (exists) {
        auto &cache = cachedHandles();
        auto it = cache.find(key);
        if (it != cache.end()) {
            if (it->second->device == st.st_dev && it->second->inode == st.st_ino)
                return it->second;
            cache.erase(it); // the file was replaced: its old handle is stale
        }
    }

    auto handle = std::make_shared<DbHandle>();
    handle->path = path;
    int rc = sqlite3_open_v2(native.constData(), &handle->db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        *error = openError(rc, handle->db);
        return nullptr;
    }
    if (exists && st.st_size == 0) {
        // The engine would take an empty file for a new database and write
        // one; a delivered file is never empty.
        *error = QString::fromUtf8(sqlite3_errstr(SQLITE_NOTADB));
        return nullptr;
    }
    rc = sqlite3_key(handle->db, Db::Password, int(std::strlen(Db::Password)));
    if (rc != SQLITE_OK) {
        *error = openError(rc, handle->db);
        return nullptr;
    }
    // A wrong key or a file that is no database shows here, not at the first query.
    rc = sqlite3_exec(handle->db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        *error = openError(rc, handle->db);
        return nullptr;
    }
    sqlite3_busy_timeout(handle->db, 5000);
    // The program is the file's only user while it runs. Holding the lock
    // keeps the decrypted pages cached between commands; otherwise every
    // command would decrypt its pages again.
    sqlite3_exec(handle->db, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
    // Up to 64 MiB of decrypted pages per file: a search that reads every stem
    // of a large bank would otherwise decrypt its pages again each time.
    sqlite3_exec(handle->db, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
    // A commit reaches the disk before the program goes on (the engine's
    // default, stated because a stored sitting relies on it).
    sqlite3_exec(handle->db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    // Files made before an index was added get it here, once; a table that is
    // missing or damaged leaves its index out and is reported where it is used.
    const QString fileName = QFileInfo(path).fileName();
    for (const QString &sql : Schema::indexes(fileName))
        sqlite3_exec(handle->db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    // Tables added since: all of them or none, so a folder of an older
    // version opens as it is.
    if (const QStringList added = Schema::addedTables(fileName); !added.isEmpty()) {
        bool made = sqlite3_exec(handle->db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
        for (const QString &sql : added)
            made = made && sqlite3_exec(handle->db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_exec(handle->db, made ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr);
    }
    sqlite3_create_function_v2(handle->db, "val", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               sqlVal, nullptr, nullptr, nullptr);
    if (::stat(native.constData(), &st) == 0) {
        handle->device = st.st_dev;
        handle->inode = st.st_ino;
    }
    cachedHandles()[key] = handle;
    return handle;
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

// The statement of sql with its parameters bound, for a command that
// throws its failures.
sqlite3_stmt *boundStatement(detail::DbHandle &handle, const QString &sql, const QVariantList &params)
{
    QString error;
    sqlite3_stmt *stmt = handle.prepare(sql, &error);
    if (!stmt)
        throw DbError(error);
    if (sqlite3_bind_parameter_count(stmt) != params.size())
        throw DbError(QStringLiteral("wrong number of parameters"));
    bindAll(stmt, params);
    return stmt;
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

QString quoteIdentifier(const QString &name)
{
    QString n = name;
    return QLatin1Char('"') + n.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

const QString kRowidAlias = QStringLiteral("__vorn_rowid");

// "select * from T [where/order ...]" names one table whose rows can be written.
QString parseWritableTable(const QString &sql, QString *rewritten)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+(\\[[^\\]]+\\]|[^\\s,;()\\[\\]]+)(\\s+(?!join\\b)(where|order|group)\\b.*)?\\s*;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = re.match(sql);
    if (!m.hasMatch())
        return QString();
    QString table = m.captured(1);
    if (table.startsWith(QLatin1Char('[')))
        table = table.mid(1, table.size() - 2);
    *rewritten = QStringLiteral("select rowid as %1, * from %2%3")
                     .arg(kRowidAlias, quoteIdentifier(table), m.captured(2));
    return table;
}

QString writableTable(const QString &sql, QString *rewritten)
{
    // Commands repeat their statements; parse each text once.
    static QHash<QString, std::pair<QString, QString>> parsed;
    auto it = parsed.constFind(sql);
    if (it == parsed.constEnd()) {
        if (parsed.size() > 1024)
            parsed.clear();
        QString text;
        const QString table = parseWritableTable(sql, &text);
        it = parsed.insert(sql, {table, text});
    }
    *rewritten = it->second;
    return it->first;
}

} // namespace

// ---------------------------------------------------------------- CRecordset

void CRecordset::requireOpen() const
{
    if (!m_open)
        throw DbError(m_error.isEmpty() ? QStringLiteral("Operation is not allowed when the object is closed.")
                                        : m_error,
                      m_errorReported);
}

void CRecordset::requireCurrent() const
{
    requireOpen();
    if (m_adding)
        return;
    if (m_pos < 0 || m_pos >= int(m_rows.size()) || m_rows[m_pos].deleted)
        throw DbError(QStringLiteral(
            "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a current record."));
}

int CRecordset::recordCount() const
{
    requireOpen();
    return int(m_rows.size()) - m_deleted;
}

bool CRecordset::isEOF() const
{
    requireOpen();
    return m_pos >= int(m_rows.size()) || recordCount() == 0;
}

bool CRecordset::isBOF() const
{
    requireOpen();
    return m_pos < 0 || recordCount() == 0;
}

void CRecordset::skipDeleted(int direction)
{
    while (m_pos >= 0 && m_pos < int(m_rows.size()) && m_rows[m_pos].deleted)
        m_pos += direction;
}

void CRecordset::moveFirst()
{
    requireOpen();
    flushPending();
    m_pos = 0;
    skipDeleted(+1);
}

void CRecordset::moveLast()
{
    requireOpen();
    flushPending();
    m_pos = int(m_rows.size()) - 1;
    skipDeleted(-1);
    if (m_pos < 0)
        m_pos = int(m_rows.size());
}

void CRecordset::moveNext()
{
    requireOpen();
    if (isEOF())
        throw DbError(QStringLiteral("Either BOF or EOF is True. Cannot move past the end."));
    flushPending();
    ++m_pos;
    skipDeleted(+1);
}

void CRecordset::movePrevious()
{
    requireOpen();
    if (isBOF())
        throw DbError(QStringLiteral("Either BOF or EOF is True. Cannot move before the start."));
    flushPending();
    --m_pos;
    skipDeleted(-1);
}

void CRecordset::move(int rows)
{
    requireOpen();
    flushPending();
    const int step = rows >= 0 ? 1 : -1;
    for (int i = 0; i != rows; i += step) {
        if (step > 0) {
            if (m_pos >= int(m_rows.size()))
                throw DbError(QStringLiteral("Either BOF or EOF is True. Cannot move past the end."));
            ++m_pos;
            skipDeleted(+1);
        } else {
            if (m_pos < 0)
                throw DbError(QStringLiteral("Either BOF or EOF is True. Cannot move before the start."));
            --m_pos;
            skipDeleted(-1);
        }
    }
}

QStringList CRecordset::columnNames() const
{
    requireOpen();
    return m_columns;
}

bool CRecordset::hasColumn(const QString &column) const
{
    for (const QString &c : m_columns)
        if (c.compare(column, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

int CRecordset::columnIndex(const QString &column) const
{
    requireOpen();
    // Callers almost always spell the name as the table does; the exact
    // comparison is much cheaper than the case-insensitive one.
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns.at(i) == column)
            return i;
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns.at(i).compare(column, Qt::CaseInsensitive) == 0)
            return i;
    throw DbError(QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal: %1")
                      .arg(column));
}

std::optional<QString> CRecordset::value(const QString &column) const
{
    const int i = columnIndex(column);
    requireCurrent();
    if (m_adding || (i < int(m_pending.size()) && m_pending[i].has_value())) {
        if (i < int(m_pending.size()) && m_pending[i].has_value()) {
            const QVariant &v = *m_pending[i];
            if (v.isNull() || !v.isValid())
                return std::nullopt;
            return v.toString();
        }
        return std::nullopt;
    }
    return m_rows[m_pos].values[i];
}

QString CRecordset::getString(const QString &column) const
{
    return value(column).value_or(QString());
}

bool CRecordset::isNull(const QString &column) const
{
    return !value(column).has_value();
}

int CRecordset::getInt(const QString &column) const
{
    const std::optional<QString> v = value(column);
    if (!v)
        throw DbError(QStringLiteral("Invalid use of Null"));
    bool ok = false;
    const double d = v->trimmed().toDouble(&ok);
    if (!ok)
        throw DbError(QStringLiteral("Type mismatch: %1").arg(*v));
    return int(std::lround(d));
}

void CRecordset::put(const QString &column, const QVariant &value)
{
    const int i = columnIndex(column);
    requireCurrent();
    if (m_table.isEmpty())
        throw DbError(QStringLiteral("Current Recordset does not support updating."));
    if (m_pending.size() != size_t(m_columns.size()))
        m_pending.assign(m_columns.size(), std::nullopt);
    m_pending[i] = value;
}

void CRecordset::addNew()
{
    requireOpen();
    if (m_table.isEmpty())
        throw DbError(QStringLiteral("Current Recordset does not support updating."));
    flushPending();
    m_adding = true;
    m_pending.assign(m_columns.size(), std::nullopt);
}

std::optional<QString> CRecordset::readBack(qint64 rowid, Row &row)
{
    QString error;
    const QString sql = QStringLiteral("select rowid, * from %1 where rowid=?").arg(quoteIdentifier(m_table));
    sqlite3_stmt *stmt = m_handle->prepare(sql, &error);
    if (!stmt)
        return error;
    sqlite3_bind_int64(stmt, 1, rowid);
    if (sqlite3_step(stmt) != SQLITE_ROW) {
        error = m_handle->lastError();
        sqlite3_reset(stmt);
        return error;
    }
    row.rowid = sqlite3_column_int64(stmt, 0);
    row.values.assign(m_columns.size(), std::nullopt);
    for (int i = 0; i < m_columns.size(); ++i)
        row.values[i] = columnText(stmt, m_dataColumn[i]);
    sqlite3_reset(stmt);
    return std::nullopt;
}

void CRecordset::update()
{
    requireOpen();
    if (!m_adding && m_pending.empty())
        return;
    requireCurrent();
    if (m_table.isEmpty())
        throw DbError(QStringLiteral("Current Recordset does not support updating."));

    QStringList names;
    QVariantList params;
    for (int i = 0; i < int(m_pending.size()); ++i) {
        if (!m_pending[i].has_value())
            continue;
        names << quoteIdentifier(m_columns.at(i));
        params << *m_pending[i];
    }

    QString sql;
    if (m_adding) {
        if (names.isEmpty())
            sql = QStringLiteral("insert into %1 default values").arg(quoteIdentifier(m_table));
        else
            sql = QStringLiteral("insert into %1 (%2) values (%3)")
                      .arg(quoteIdentifier(m_table), names.join(QLatin1Char(',')),
                           QStringList(QList<QString>(names.size(), QStringLiteral("?"))).join(QLatin1Char(',')));
    } else {
        if (names.isEmpty()) {
            m_pending.clear();
            return;
        }
        QStringList sets;
        for (const QString &n : names)
            sets << n + QStringLiteral("=?");
        sql = QStringLiteral("update %1 set %2 where rowid=?").arg(quoteIdentifier(m_table), sets.join(QLatin1Char(',')));
        params << m_rows[m_pos].rowid;
    }

    QString error;
    sqlite3_stmt *stmt = m_handle->prepare(sql, &error);
    if (!stmt)
        throw DbError(error);
    bindAll(stmt, params);
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE) {
        error = m_handle->lastError();
        sqlite3_reset(stmt);
        throw DbError(error);
    }
    sqlite3_reset(stmt);

    if (m_adding) {
        Row row;
        const qint64 rowid = sqlite3_last_insert_rowid(m_handle->db);
        if (auto err = readBack(rowid, row))
            throw DbError(*err);
        m_rows.push_back(std::move(row));
        m_pos = int(m_rows.size()) - 1;
        m_adding = false;
    } else {
        Row &row = m_rows[m_pos];
        if (auto err = readBack(row.rowid, row))
            throw DbError(*err);
    }
    m_pending.clear();
}

void CRecordset::flushPending()
{
    if (m_adding || !m_pending.empty())
        update();
}

void CRecordset::deleteCurrent()
{
    requireCurrent();
    if (m_table.isEmpty())
        throw DbError(QStringLiteral("Current Recordset does not support updating."));
    if (m_adding) {
        m_adding = false;
        m_pending.clear();
        return;
    }
    QString error;
    const QString sql = QStringLiteral("delete from %1 where rowid=?").arg(quoteIdentifier(m_table));
    sqlite3_stmt *stmt = m_handle->prepare(sql, &error);
    if (!stmt)
        throw DbError(error);
    sqlite3_bind_int64(stmt, 1, m_rows[m_pos].rowid);
    if (sqlite3_step(stmt) != SQLITE_DONE) {
        error = m_handle->lastError();
        sqlite3_reset(stmt);
        throw DbError(error);
    }
    sqlite3_reset(stmt);
    m_rows[m_pos].deleted = true;
    ++m_deleted;
    m_pending.clear();
}

void CRecordset::close()
{
    // An edit never written is dropped: writing it now could land outside the
    // transaction it was meant for.
    m_adding = false;
    m_pending.clear();
    m_open = false;
    m_rows.clear();
    m_deleted = 0;
    m_handle.reset();
}

// ------------------------------------------------------------------ CADOConn

namespace {
// Function-local, so a reporter installed during static start-up finds it made.
std::function<void(const QString &)> &openFailureReporter()
{
    static std::function<void(const QString &)> reporter;
    return reporter;
}
} // namespace

void CADOConn::setOpenFailureReporter(std::function<void(const QString &error)> reporter)
{
    openFailureReporter() = std::move(reporter);
}

CADOConn::~CADOConn()
{
    close();
}

bool CADOConn::openConnection(const QString &file)
{
    m_attempted = true;
    m_file = file;
    m_handle.reset();
    QString error;
    const QString path = QDir::current().absoluteFilePath(file);
    m_handle = openHandle(path, &error);
    if (!m_handle) {
        if (openFailureReporter())
            openFailureReporter()(Db::explain(error));
        return false;
    }
    return true;
}

bool CADOConn::ensureConnection(const QString &file, QString *error)
{
    if (!m_attempted || (file != m_file && m_transactionDepth == 0)) {
        // A wrapper serves the file it is asked for.
        if (openConnection(file))
            return true;
        *error = QString(); // the engine's text was shown already
        return false;
    }
    if (file != m_file) {
        // Running the statement on the file of the transaction would write to
        // the wrong file, and switching would end the transaction.
        *error = QStringLiteral("%1 的事务尚未结束，此连接不能用于 %2").arg(m_file, file);
        return false;
    }
    if (!m_handle) {
        *error = QString();
        return false;
    }
    return true;
}

namespace {
const QString kClosed = QStringLiteral("Operation is not allowed when the object is closed.");
}

bool CADOConn::isOpen() const
{
    return m_handle != nullptr;
}

RecordsetPtr CADOConn::openRecordset(const QString &sql, const QString &file, const QVariantList &params)
{
    auto rs = std::make_shared<CRecordset>();
    m_recordset = rs;
    QString refused;
    if (!ensureConnection(file, &refused)) {
        rs->m_error = refused.isEmpty() ? kClosed : refused;
        rs->m_errorReported = refused.isEmpty();
        return rs;
    }

    QString rewritten;
    const QString table = writableTable(sql, &rewritten);
    const QString text = table.isEmpty() ? sql : rewritten;

    QString error;
    sqlite3_stmt *stmt = m_handle->prepare(text, &error);
    if (!stmt) {
        rs->m_error = error;
        return rs;
    }
    if (sqlite3_bind_parameter_count(stmt) != params.size()) {
        rs->m_error = QStringLiteral("wrong number of parameters");
        return rs;
    }
    bindAll(stmt, params);

    const int first = table.isEmpty() ? 0 : 1;
    const int count = sqlite3_column_count(stmt);
    QStringList columns;
    std::vector<int> dataColumn;
    for (int i = first; i < count; ++i) {
        columns << QString::fromUtf8(sqlite3_column_name(stmt, i));
        dataColumn.push_back(i);
    }
    std::vector<CRecordset::Row> rows;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        CRecordset::Row row;
        if (first)
            row.rowid = sqlite3_column_int64(stmt, 0);
        row.values.reserve(dataColumn.size());
        for (int i : dataColumn)
            row.values.push_back(columnText(stmt, i));
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        rs->m_error = m_handle->lastError();
        sqlite3_reset(stmt);
        return rs;
    }
    sqlite3_reset(stmt);
    // Columns of the written-back rows follow the select's own order.
    for (int &c : dataColumn)
        c = c - first + 1;
    rs->m_handle = m_handle;
    rs->m_open = true;
    rs->m_table = table;
    rs->m_columns = columns;
    rs->m_dataColumn = dataColumn;
    rs->m_rows = std::move(rows);
    rs->m_pos = 0;
    return rs;
}

void CADOConn::forEachRow(const QString &sql, const QString &file, const QVariantList &params,
                          const std::function<bool(const CRecordset &row)> &visit)
{
    QString refused;
    if (!ensureConnection(file, &refused))
        throw refused.isEmpty() ? DbError(kClosed, true) : DbError(refused);
    sqlite3_stmt *stmt = boundStatement(*m_handle, sql, params);
    // The cached statement is left reset however the walk ends.
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> reset(stmt, sqlite3_reset);

    CRecordset row;
    row.m_open = true;
    const int count = sqlite3_column_count(stmt);
    for (int i = 0; i < count; ++i) {
        row.m_columns << QString::fromUtf8(sqlite3_column_name(stmt, i));
        row.m_dataColumn.push_back(i);
    }
    row.m_rows.resize(1);
    std::vector<std::optional<QString>> &values = row.m_rows.front().values;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        values.clear();
        for (int i = 0; i < count; ++i)
            values.push_back(columnText(stmt, i));
        if (!visit(row))
            return;
    }
    if (rc != SQLITE_DONE)
        throw DbError(m_handle->lastError());
}

bool CADOConn::execute(const QString &sql, const QString &file, const QVariantList &params)
{
    try {
        executeOrThrow(sql, file, params);
        return true;
    } catch (const DbError &) {
        return false;
    }
}

void CADOConn::executeOrThrow(const QString &sql, const QString &file, const QVariantList &params)
{
    QString refused;
    if (!ensureConnection(file, &refused))
        throw refused.isEmpty() ? DbError(kClosed, true) : DbError(refused);
    sqlite3_stmt *stmt = boundStatement(*m_handle, sql, params);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        const QString error = m_handle->lastError();
        sqlite3_reset(stmt);
        throw DbError(error);
    }
    sqlite3_reset(stmt);
    // A statement that changes the schema is not worth keeping prepared.
    if (sql.trimmed().startsWith(QLatin1String("create"), Qt::CaseInsensitive)
        || sql.trimmed().startsWith(QLatin1String("drop"), Qt::CaseInsensitive)) {
        sqlite3_finalize(m_handle->statements.take(sql));
    }
}

void CADOConn::beginTransaction(const QString &file)
{
    QString refused;
    if (!ensureConnection(file, &refused))
        throw refused.isEmpty() ? DbError(kClosed, true) : DbError(refused);
    const QByteArray sql = QByteArray("SAVEPOINT vorn") + QByteArray::number(m_transactionDepth);
    if (sqlite3_exec(m_handle->db, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw DbError(m_handle->lastError());
    ++m_transactionDepth;
}

void CADOConn::commitTransaction()
{
    if (!m_handle || m_transactionDepth == 0)
        throw DbError(QStringLiteral("No transaction is active."));
    const QByteArray sql = QByteArray("RELEASE vorn") + QByteArray::number(m_transactionDepth - 1);
    if (sqlite3_exec(m_handle->db, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        const QString error = m_handle->lastError();
        rollbackTransaction();
        throw DbError(error);
    }
    --m_transactionDepth;
}

void CADOConn::rollbackTransaction()
{
    if (!m_handle || m_transactionDepth == 0)
        return;
    const QByteArray name = QByteArray("vorn") + QByteArray::number(m_transactionDepth - 1);
    sqlite3_exec(m_handle->db, ("ROLLBACK TO " + name).constData(), nullptr, nullptr, nullptr);
    sqlite3_exec(m_handle->db, ("RELEASE " + name).constData(), nullptr, nullptr, nullptr);
    --m_transactionDepth;
}

void CADOConn::close()
{
    if (m_recordset) {
        m_recordset->close();
        m_recordset.reset();
    }
    while (m_transactionDepth > 0)
        rollbackTransaction();
    m_handle.reset();
    m_attempted = false;
}

void CADOConn::releaseCachedHandles()
{
    cachedHandles().clear();
}

bool CADOConn::holdFile(const QString &file, QString *error)
{
    return openHandle(QDir::current().absoluteFilePath(file), error) != nullptr;
}

// ------------------------------------------------------------ DbTransaction

DbTransaction::DbTransaction(CADOConn &conn, const QString &file)
    : m_conn(conn)
{
    m_conn.beginTransaction(file);
}

DbTransaction::~DbTransaction()
{
    if (!m_done)
        m_conn.rollbackTransaction();
}

void DbTransaction::commit()
{
    m_done = true;
    m_conn.commitTransaction();
}
