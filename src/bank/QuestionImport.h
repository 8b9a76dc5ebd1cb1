#pragma once
// Import of one type's sheet of questions.xls into the type's table, and the
// removal of duplicates over the whole table afterwards.
#include <QString>
#include <QStringList>

class XlsWorkbook;

struct ImportResult
{
    enum Status {
        NoSheet,      // the workbook has no sheet of the type
        BadHeader,    // the sheet's columns are not those of the template
        NoData,       // no complete row
        TooLong,      // a complete row holds a text over 255 characters; nothing written
        PipeInOption, // stopped at an option with "|"; the rows before it stay
        PipeInAnswer, // stopped at an answer with "|"; the rows before it stay
        Done,
    };
    Status status = Done;
    QString type;
    int counted = 0;  // complete rows of the sheet
    int skipped = 0;  // rows left out for an empty required cell
    int stored = 0;   // rows written
    int removed = 0;  // duplicates removed after a finished import
    int sheetRow = 0; // spreadsheet row (header = 1) of a refused row

    // The message the import screen shows.
    QString message() const;
};

namespace QuestionImport {

// Column names a type's sheet must have, in order.
QStringList expectedColumns(const QString &type);

// Imports the type's sheet: header check, complete rows in sheet order,
// spaces removed from answers other than 问答题, "|" refused in options and
// answers; then duplicates over the whole table removed (oldest kept).
// The rows go in one transaction; the removal in another. Throws DbError.
ImportResult run(XlsWorkbook &book, const QString &type);

// The duplicate removal of a type's table; returns the rows removed.
int removeDuplicates(const QString &type);

} // namespace QuestionImport
