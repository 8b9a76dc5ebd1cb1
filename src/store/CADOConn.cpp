#include "store/CADOConn.h"

#include "store/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include "store/Engine.h"
#include <sys/stat.h>

#include <cmath>
#include <map>

DbError::DbError(const QString &text, bool alreadyReported)
    : std::runtime_error(text.toStdString()), m_text(text), m_reported(alreadyReported)
{
}

using detail::DbHandle;
using detail::ResultRow;

namespace {

struct CachedHandle
{
    std::shared_ptr<DbHandle> handle;
    dev_t device = 0;
    ino_t inode = 0;
};

// The owners that keep handles alive between commands.
std::map<QString, CachedHandle> &cachedHandles()
{
    static std::map<QString, CachedHandle> handles;
    return handles;
}

// The server of the lab, when this station works on one.
QString &serverConnection()
{
    static QString connection;
    return connection;
}

// The handle of a store: the station's server when it has one, else the file
// of the working directory, opened and keyed once per process.
std::shared_ptr<DbHandle> openHandle(const QString &file, QString *error)
{
    const QString path = QDir::current().absoluteFilePath(file);
    if (!serverConnection().isEmpty()) {
        const QString key = QStringLiteral("server:") + QDir::currentPath() + QLatin1Char('/') + file;
        auto &cache = cachedHandles();
        if (auto it = cache.find(key); it != cache.end())
            return it->second.handle;
        auto handle = detail::openServerHandle(serverConnection(), file, QDir::currentPath(), error);
        if (handle)
            cache[key] = {handle, 0, 0};
        return handle;
    }

    struct stat st {};
    const QByteArray native = QFile::encodeName(path);
    if (::stat(native.constData(), &st) == 0) {
        auto &cache = cachedHandles();
        auto it = cache.find(path);
        if (it != cache.end()) {
            if (it->second.device == st.st_dev && it->second.inode == st.st_ino)
                return it->second.handle;
            cache.erase(it); // the file was replaced: its old handle is stale
        }
    }
    auto handle = detail::openFileHandle(path, false, error);
    if (!handle)
        return nullptr;
    CachedHandle cached{handle, 0, 0};
    if (::stat(native.constData(), &st) == 0) {
        cached.device = st.st_dev;
        cached.inode = st.st_ino;
    }
    cachedHandles()[path] = cached;
    return handle;
}

// "select * from T [where/order ...]" names one table whose rows can be written.
QString parseWritableTable(const QString &sql)
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
    return table;
}

QString writableTable(const QString &sql)
{
    // Commands repeat their statements; parse each text once.
    static QHash<QString, QString> parsed;
    auto it = parsed.constFind(sql);
    if (it == parsed.constEnd()) {
        if (parsed.size() > 1024)
            parsed.clear();
        it = parsed.insert(sql, parseWritableTable(sql));
    }
    return *it;
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
        names << m_columns.at(i);
        params << *m_pending[i];
    }
    if (!m_adding && names.isEmpty()) {
        m_pending.clear();
        return;
    }

    QString error;
    std::optional<detail::RowKey> key;
    if (!m_adding)
        key = m_rows[m_pos].key;
    detail::RowKey written;
    if (!m_handle->writeRow(m_table, key, names, params, &written, &error))
        throw DbError(error);
    Row row;
    if (!m_handle->readRow(m_table, written, &row, &error))
        throw DbError(error);
    if (m_adding) {
        m_rows.push_back(std::move(row));
        m_pos = int(m_rows.size()) - 1;
        m_adding = false;
    } else {
        m_rows[m_pos] = std::move(row);
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
    if (!m_handle->deleteRow(m_table, m_rows[m_pos].key, &error))
        throw DbError(error);
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
    m_handle = openHandle(file, &error);
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

    const QString table = writableTable(sql);
    QString error;
    QStringList columns;
    std::vector<CRecordset::Row> rows;
    if (!m_handle->select(sql, params, table, &columns, &rows, &error)) {
        rs->m_error = error;
        return rs;
    }
    rs->m_handle = m_handle;
    rs->m_open = true;
    rs->m_table = table;
    rs->m_columns = columns;
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
    CRecordset row;
    row.m_open = true;
    row.m_rows.resize(1);
    QString error;
    const bool ok = m_handle->each(
        sql, params, &row.m_columns,
        [&](detail::ResultRow &r) {
            std::swap(row.m_rows.front().values, r.values);
            return visit(row);
        },
        &error);
    if (!ok)
        throw DbError(error);
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
    QString error;
    if (!m_handle->exec(sql, params, &error))
        throw DbError(error);
    // A statement that changes the schema is not worth keeping prepared.
    if (sql.trimmed().startsWith(QLatin1String("create"), Qt::CaseInsensitive)
        || sql.trimmed().startsWith(QLatin1String("drop"), Qt::CaseInsensitive)) {
        m_handle->forget(sql);
    }
}

qint64 CADOConn::insertKey(const QString &sql, const QString &file, const QVariantList &params,
                           const QString &keyColumn)
{
    QString refused;
    if (!ensureConnection(file, &refused))
        throw refused.isEmpty() ? DbError(kClosed, true) : DbError(refused);
    QString error;
    qint64 key = 0;
    if (!m_handle->insert(sql, params, keyColumn, &key, &error))
        throw DbError(error);
    return key;
}

void CADOConn::beginTransaction(const QString &file)
{
    QString refused;
    if (!ensureConnection(file, &refused))
        throw refused.isEmpty() ? DbError(kClosed, true) : DbError(refused);
    QString error;
    if (!m_handle->begin(m_transactionDepth, &error))
        throw DbError(error);
    ++m_transactionDepth;
}

void CADOConn::commitTransaction()
{
    if (!m_handle || m_transactionDepth == 0)
        throw DbError(QStringLiteral("No transaction is active."));
    QString error;
    if (!m_handle->commit(m_transactionDepth - 1, &error)) {
        rollbackTransaction();
        throw DbError(error);
    }
    --m_transactionDepth;
}

void CADOConn::rollbackTransaction()
{
    if (!m_handle || m_transactionDepth == 0)
        return;
    m_handle->rollback(m_transactionDepth - 1);
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
    return openHandle(file, error) != nullptr;
}

// A store that cannot be reached throws DbError: the lock is not known to
// be another station's.
bool CADOConn::tryLock(const QString &file, qint64 key)
{
    QString refused;
    if (!ensureConnection(file, &refused))
        throw refused.isEmpty() ? DbError(kClosed, true) : DbError(refused);
    return m_handle->tryLock(key);
}

void CADOConn::unlock(const QString &file, qint64 key)
{
    QString error;
    if (ensureConnection(file, &error))
        m_handle->unlock(key);
}

void CADOConn::useServer(const QString &connection)
{
    serverConnection() = connection;
    releaseCachedHandles();
}

bool CADOConn::serverLost()
{
    for (const auto &[key, cached] : cachedHandles())
        if (cached.handle->lost())
            return true;
    return false;
}

QString CADOConn::server()
{
    return serverConnection();
}

bool CADOConn::onServer()
{
    return !serverConnection().isEmpty();
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
