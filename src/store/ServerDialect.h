#pragma once
// The program's statements as the lab's server (PostgreSQL) reads them. The
// statements are written once, in the files' dialect; what differs is
// rewritten here, so no screen or rule knows which engine serves it.
#include <QString>
#include <QStringList>

namespace ServerDialect {

// "?" placeholders become $1, $2, ...; [name] and "name" identifiers are
// folded as the server folds unquoted names; LIKE ignores case as the files'
// engine does for Latin letters. Text in single quotes is left alone.
QString statement(const QString &sql);

// A create statement of the files' schema as the server's: identity keys,
// texts compared byte by byte as the files compare them.
QString tableDefinition(const QString &sql);

// The spelling the program uses for a column the server names in lower case
// ("id" -> "ID"), taken from the statement or the schema.
QString columnName(const QString &serverName, const QString &sql);

// Whether the statement works on a station's own working tables (the drawn
// exam, the printed paper's draw, the browser's list), which stay on the station.
bool onWorkingTable(const QString &sql);
bool isWorkingTable(const QString &table);

// Jet's Val() on the server, for each type a column can have.
QStringList valFunctions();

} // namespace ServerDialect
