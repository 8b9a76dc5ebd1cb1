#pragma once
// What the database wrapper asks of an engine: the encrypted files of the
// working directory (SQLite with SQLCipher) or the lab's PostgreSQL server.
// Everything that differs between the two (placeholders, the key of a row a
// recordset writes back, locks, types) stays behind this interface.
#include "store/CADOConn.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace detail {

// A row's key (RowKey) is the engine's own: SQLite's rowid, the server's ctid.

// One connection serving one store (questions or personnel), kept for the
// life of the process.
struct DbHandle
{
    virtual ~DbHandle() = default;

    // Runs a query and reads every row as text. With keyedTable set, sql is
    // "select * from <keyedTable> ...", and each row also carries its key.
    virtual bool select(const QString &sql, const QVariantList &params, const QString &keyedTable,
                        QStringList *columns, std::vector<ResultRow> *rows, QString *error) = 0;
    // Reads a selection row by row, handing each to visit until it returns
    // false; the row may be taken apart by visit.
    virtual bool each(const QString &sql, const QVariantList &params, QStringList *columns,
                      const std::function<bool(ResultRow &row)> &visit, QString *error) = 0;
    // Runs a statement; rows it returns are dropped.
    virtual bool exec(const QString &sql, const QVariantList &params, QString *error) = 0;
    // The row of table with key, its values in "select *" order.
    virtual bool readRow(const QString &table, const RowKey &key, ResultRow *row, QString *error) = 0;
    // Writes the named columns into a new row, or into the row with key; *newKey
    // is where the row is now.
    virtual bool writeRow(const QString &table, const std::optional<RowKey> &key, const QStringList &columns,
                          const QVariantList &values, RowKey *newKey, QString *error) = 0;
    virtual bool deleteRow(const QString &table, const RowKey &key, QString *error) = 0;
    // Runs an insert and gives the key the row was numbered with (its
    // integer primary key column keyColumn).
    virtual bool insert(const QString &sql, const QVariantList &params, const QString &keyColumn, qint64 *key,
                        QString *error) = 0;

    // Nested transactions; depth 0 is the outermost.
    virtual bool begin(int depth, QString *error) = 0;
    virtual bool commit(int depth, QString *error) = 0;
    virtual void rollback(int depth) = 0;

    // Holds a named lock for the life of the connection, or refuses when
    // another station holds it. One desktop has nobody to share with.
    // Inside a transaction, unlock lets go when the transaction ends.
    virtual bool tryLock(qint64 key) { (void)key; return true; }
    virtual void unlock(qint64 key) { (void)key; }

    // The server cannot be reached now (files are never lost this way).
    virtual bool lost() const { return false; }

    // The statement's schema change is done: forget what was prepared for it.
    virtual void forget(const QString &sql) { (void)sql; }
};

// The statement that writes a recordset's row: the named columns into a new
// row, or into the row whose keyColumn is the last "?". Names are quoted by quote.
inline QString rowWriteStatement(const QString &table, const QStringList &columns, bool update,
                                 const QString &keyColumn, QString (*quote)(const QString &))
{
    QStringList names;
    for (const QString &c : columns)
        names << quote(c);
    if (update) {
        QStringList sets;
        for (const QString &n : std::as_const(names))
            sets << n + QStringLiteral("=?");
        return QStringLiteral("update %1 set %2 where %3=?").arg(quote(table), sets.join(QLatin1Char(',')), keyColumn);
    }
    if (names.isEmpty())
        return QStringLiteral("insert into %1 default values").arg(quote(table));
    return QStringLiteral("insert into %1 (%2) values (%3)")
        .arg(quote(table), names.join(QLatin1Char(',')),
             QStringList(QList<QString>(names.size(), QStringLiteral("?"))).join(QLatin1Char(',')));
}

// Opens the store named by file (Db::Questions or Db::Personnel) on the
// lab's server, or says why not (the text is for the user).
std::shared_ptr<DbHandle> openServerHandle(const QString &connection, const QString &file,
                                           const QString &workDir, QString *error);

// Opens a file of the working directory, keyed with the database password.
// create: make it when missing (a station's own working tables).
std::shared_ptr<DbHandle> openFileHandle(const QString &path, bool create, QString *error);

} // namespace detail
