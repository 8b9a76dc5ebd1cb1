#pragma once
// Every table of both files, kept in one place: the stored tables the
// delivered files hold, and the working tables the program makes and drops.
#include <QString>
#include <QStringList>

class CADOConn;

namespace Schema {

// The most characters a text column holds (every column is TEXT(255));
// longer texts are refused where they are entered, by hand or by import.
inline constexpr int MaxText = 255;

// Statements that create the stored tables of a file (Db::Questions or
// Db::Personnel).
QStringList storedTables(const QString &file);

// The stored table names of a file, in the order created.
QStringList storedTableNames(const QString &file);

// Indexes of a file ("create index if not exists"): the registrations by
// person and by exam, the roster counters by exam, and the bank's lookups by
// type, subject, audience group and difficulty. They change no table and no
// result; they are made when a file is opened, so older files get them too.
QStringList indexes(const QString &file);

// Tables added after the first delivered files ("create ... if not exists",
// with their indexes): the stored sittings of personnel.mdb. Made when a file
// is opened, in one transaction, so a folder made by an older version opens
// as it is.
QStringList addedTables(const QString &file);

// A working table: its create and drop statements. Their failures are ignored
// by the callers (a table left from an interrupted run is dropped first).
struct WorkTable
{
    QString file;
    QString create;
    QString drop;
};

// Makes the table anew and empty, whatever an earlier run left: create,
// drop, create, each failure ignored.
void recreate(CADOConn &conn, const WorkTable &table);
// Drops the table; a missing one is no failure.
void drop(CADOConn &conn, const WorkTable &table);

// personnel.mdb, drawn exam: the questions drawn.
const WorkTable &examInterim();
// personnel.mdb, drawn exam: the exam as shown with the answers given.
const WorkTable &examSheet();
// questions.mdb, bank browser.
const WorkTable &browserInterim1();
// questions.mdb, printed paper: the questions drawn.
const WorkTable &printInterim();
// questions.mdb, printed paper: the paper as printed.
const WorkTable &printSheet();

} // namespace Schema
