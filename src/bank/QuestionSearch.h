#pragma once
// The bank browser's search: the matches of the checked types, in type order
// and table order within a type, numbered from 1, shown 50 to a page.
//
// A page is read straight from the question tables (a count per type, then
// only the rows of the page), so a page of a large bank costs the same as a
// page of a small one; the browser's working table interim1 is not needed
// for it.
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class CADOConn;

struct SearchQuery
{
    QStringList types; // any order; searched in the fixed type order
    QString subject;   // empty = every subject
    QString keyword;   // empty = any stem; otherwise matched anywhere, literally
};

// One list row: 编号 and the question's columns, as the browser shows them.
struct SearchRow
{
    int number = 0; // 编号
    int id = 0;     // VID: the ID in its type's table
    QString subject, type, stem, answer;
    std::array<std::optional<QString>, 5> options;
    std::optional<QString> difficulty, audience;
};

struct SearchPage
{
    int total = 0;     // matches over all pages
    int pageCount = 0; // pages of 50, the last partly filled
    QList<SearchRow> rows;
};

namespace QuestionSearch {

inline constexpr int PageSize = 50;

// The rows of page `page` (from 1) of the result; a page beyond the last
// has no rows. Throws DbError.
SearchPage page(CADOConn &conn, const SearchQuery &query, int page);

} // namespace QuestionSearch
