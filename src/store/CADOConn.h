#pragma once
// The database wrapper every command goes through. Two encrypted files,
// questions.mdb and personnel.mdb, keyed with the one database password.
//
// A command creates a wrapper, runs statements or opens recordsets, and
// closes it. Values are always bound as parameters ("?").
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>


namespace Db {
// A bound value of a column that may be null.
inline QVariant nullable(const std::optional<QString> &v)
{
    return v ? QVariant(*v) : QVariant();
}

inline const QString Questions = QStringLiteral("questions.mdb");
inline const QString Personnel = QStringLiteral("personnel.mdb");
// The password both files are keyed with.
inline constexpr const char *Password = "rtm9wzp4bj81ncd";
} // namespace Db

namespace Db {
// What a user reads for an engine failure: the likely cause in Chinese (the
// file in use by another program, a full disk, no write permission, a
// damaged file), then the engine's own text for whoever fixes it. A text
// that is Chinese already is returned as it is.
QString explain(const QString &engineText);
} // namespace Db

// A failure of a recordset operation or a transaction, carrying the engine's
// text. Commands catch it at their edge (see runCommand).
class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString &text, bool alreadyReported = false);
    QString text() const { return m_text; }
    // The failed connection behind it was already shown to the user.
    bool alreadyReported() const { return m_reported; }

private:
    QString m_text;
    bool m_reported = false;
};

namespace detail {
struct DbHandle;
using RowKey = QVariant;
struct ResultRow
{
    RowKey key;
    std::vector<std::optional<QString>> values;
    bool deleted = false; // by the recordset holding it
};
}

// A static cursor: every row is read when it is opened, so the row count is
// known and it can move in any direction. A recordset opened on
// "select * from <table> ..." can also add, change and delete rows.
class CRecordset
{
public:
    bool isOpen() const { return m_open; }

    int recordCount() const;
    bool isEOF() const;
    bool isBOF() const;

    void moveFirst();
    void moveNext();
    void movePrevious();
    void moveLast();
    void move(int rows);

    QStringList columnNames() const;
    bool hasColumn(const QString &column) const;

    // A null column reads as "" through getString; value() keeps null apart.
    QString getString(const QString &column) const;
    std::optional<QString> value(const QString &column) const;
    bool isNull(const QString &column) const;
    int getInt(const QString &column) const;

    // Puts a value into the current row (a null QVariant stores null); the
    // row is written by update(), or when the cursor moves on.
    void put(const QString &column, const QVariant &value);
    void addNew();
    void deleteCurrent();
    void update();
    void close();

private:
    friend class CADOConn;
    using Row = detail::ResultRow;

    void requireOpen() const;
    void requireCurrent() const;
    int columnIndex(const QString &column) const;
    void flushPending();
    void skipDeleted(int direction);

    std::shared_ptr<detail::DbHandle> m_handle;
    bool m_open = false;
    QString m_error;
    bool m_errorReported = false;
    QString m_table; // empty when the recordset cannot be written
    QStringList m_columns;
    std::vector<Row> m_rows;
    int m_deleted = 0; // rows of m_rows marked deleted, so counting stays O(1)
    int m_pos = 0;
    bool m_adding = false;
    std::vector<std::optional<QVariant>> m_pending;
};

using RecordsetPtr = std::shared_ptr<CRecordset>;

class CADOConn
{
public:
    CADOConn() = default;
    ~CADOConn();
    CADOConn(const CADOConn &) = delete;
    CADOConn &operator=(const CADOConn &) = delete;

    // Opens the named file of the working directory read-write, without
    // creating it. A missing file or a wrong key is handed, with the engine's
    // text, to the open-failure reporter (the screens show it in a box with
    // the default title); every later operation then fails.
    bool openConnection(const QString &file);

    // Who is told of a failed open. The store knows no windows: the screen
    // framework installs the box at start-up; none installed = silent.
    static void setOpenFailureReporter(std::function<void(const QString &error)> reporter);

    // Never throws: a failure yields a recordset that is not open, and its
    // first use raises DbError with the engine's text.
    RecordsetPtr openRecordset(const QString &sql, const QString &file,
                               const QVariantList &params = {});

    // Reads a selection row by row, keeping only the row in hand: visit gets
    // it as a one-row recordset (read only) and returns false to stop. For
    // selections too long to hold at once. Throws DbError on failure.
    void forEachRow(const QString &sql, const QString &file, const QVariantList &params,
                    const std::function<bool(const CRecordset &row)> &visit);

    // False on failure, silently.
    bool execute(const QString &sql, const QString &file, const QVariantList &params = {});

    // Runs a statement and throws DbError on failure; for writes that must not
    // fail silently inside a transaction.
    void executeOrThrow(const QString &sql, const QString &file, const QVariantList &params = {});

    // Runs an insert and returns the value its integer key column keyColumn
    // was given, as this statement numbered it (not the largest key, which
    // another station may have made meanwhile). Throws DbError.
    qint64 insertKey(const QString &sql, const QString &file, const QVariantList &params, const QString &keyColumn);

    // Writes that belong together: begin, then commit; anything not committed
    // when the wrapper closes is rolled back. Nests. While one is open the
    // wrapper serves only its file: asking for the other one is an error
    // naming both.
    void beginTransaction(const QString &file);
    void commitTransaction();
    void rollbackTransaction();

    void close();
    bool isOpen() const;

    // Handles stay open for the life of the process so the key is derived
    // once per file; tests let them go when their working folder goes.
    static void releaseCachedHandles();

    // Opens the file of the working directory and keeps it open and locked
    // for the life of the process, showing nothing; false with the engine's
    // text. Start-up holds both files this way.
    static bool holdFile(const QString &file, QString *error);

    // A lock held for this process on the store of file, named by key (an
    // examinee's registration): false when another station holds it. On one
    // desktop there is nobody else, and it always succeeds.
    bool tryLock(const QString &file, qint64 key);
    void unlock(const QString &file, qint64 key);

    // Every store is served by the lab's server at connection (a libpq
    // connection string) from now on; empty: the files of the working directory.
    static void useServer(const QString &connection);
    static bool onServer();
    static QString server();
    // The lab's server cannot be reached at the moment (its connection broke).
    static bool serverLost();

private:
    // False when the file cannot be served: *error is empty when the failed
    // open was shown already, else it says why (another file's transaction).
    bool ensureConnection(const QString &file, QString *error);

    std::shared_ptr<detail::DbHandle> m_handle;
    bool m_attempted = false;
    QString m_file;
    RecordsetPtr m_recordset;
    int m_transactionDepth = 0;
};

// Commits on commit(), rolls back when it goes out of scope before that.
class DbTransaction
{
public:
    DbTransaction(CADOConn &conn, const QString &file);
    ~DbTransaction();
    void commit();

private:
    CADOConn &m_conn;
    bool m_done = false;
};
