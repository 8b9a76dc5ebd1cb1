#pragma once
// The roster of examinees (table examinee of personnel.mdb): querying,
// adding, deleting, and the import of examinee.xls. No widgets.
#include "store/TextTable.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

class CADOConn;
class XlsWorkbook;

struct RosterPerson
{
    int id = 0;
    QString name;
    QString department;
    QString post;
};

// People in list order, packed: the roster may hold a hundred thousand, and
// its list makes texts only for the rows it shows.
class RosterList
{
public:
    int size() const { return int(m_ids.size()); }
    bool isEmpty() const { return m_ids.empty(); }
    void append(const RosterPerson &person);
    RosterPerson at(int i) const;
    // Gives back the room kept for growth once every row is in.
    void squeeze();

private:
    std::vector<int> m_ids;
    TextTable m_texts{3};
};

namespace Roster {

enum class Query {
    Found,
    NoCondition, // name, department and post all empty
    NoMatch,
};

// Rows matching the given fields (a post only counts with a department), in
// table order. Throws DbError.
Query query(const QString &name, const QString &department, const QString &post, QList<RosterPerson> *rows);
RosterList all();

enum class Add {
    Added,
    EmptyField,
    Semicolon, // ";" in the name
    Exists,
};
Add add(const QString &name, const QString &department, const QString &post);

void remove(int id);
int count();
// Removes every row; false when the roster was already empty.
bool removeAll();

// Keeps the oldest row of each person and drops rows without a name;
// returns the rows removed.
int removeDuplicates();
int removeDuplicates(CADOConn &conn); // inside the caller's transaction

} // namespace Roster

struct RosterImportResult
{
    enum Status {
        BadHeader,          // the sheet's columns are not 姓名|部门|职务|
        NoData,             // no row with all three cells
        TooLong,            // a complete row holds a text over 255 characters; nothing written
        SemicolonName,      // stopped at a name with ";"; the rows before it stay
        SemicolonDepartment,
        SemicolonPost,
        Done,
    };
    Status status = Done;
    int counted = 0;  // complete rows of the sheet
    int skipped = 0;  // rows left out for an empty name, department or post
    int stored = 0;   // rows written
    int removed = 0;  // rows removed by the duplicate removal after a finished import
    int sheetRow = 0; // spreadsheet row (header = 1) of a refused row

    // Complete rows whose department, or post within it, the settings file
    // does not know: exam creation and the examinee screen offer only the
    // settings' names, so these people cannot be reached until they are added.
    int unknownRows = 0;
    QStringList unknownDepartments; // in sheet order, each once
    QStringList unknownPosts;       // "部门/职务", in sheet order, each once

    QString message() const;
};

namespace RosterImport {

inline const QString kSheet = QStringLiteral("Sheet1");

// Imports Sheet1: the header check, the complete rows in sheet order, ";"
// refused, then the duplicate removal. One transaction. Throws DbError.
// Afterwards the departments and posts are checked against vornconf.ini.
RosterImportResult run(XlsWorkbook &book);

} // namespace RosterImport
