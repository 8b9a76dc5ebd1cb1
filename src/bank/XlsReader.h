#pragma once
// Excel 97-2003 workbooks read with FreeXL, the way the imports see them:
// the first row of a sheet holds the column names, every cell is read as
// text (a whole number typed in a cell reads "12"), an empty cell is null.
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

using XlsCell = std::optional<QString>;

struct XlsSheet
{
    QStringList columns; // names of the first row; a blank name reads F<n>
    std::vector<std::vector<XlsCell>> rows; // the rows after the first, each as wide as columns

    // Index of a column by name, or -1.
    int column(const QString &name) const;
};

class XlsWorkbook
{
public:
    XlsWorkbook() = default;
    ~XlsWorkbook();
    XlsWorkbook(const XlsWorkbook &) = delete;
    XlsWorkbook &operator=(const XlsWorkbook &) = delete;

    // False when the file cannot be read as a workbook (missing, unreadable,
    // another format, encrypted); error() then says why.
    bool open(const QString &path);
    void close();
    bool isOpen() const { return m_handle != nullptr; }
    QString error() const { return m_error; }

    QStringList sheetNames() const { return m_sheets; }
    bool hasSheet(const QString &name) const { return m_sheets.contains(name); }

    // The whole sheet; none when there is no such sheet or it cannot be read.
    std::optional<XlsSheet> sheet(const QString &name);

private:
    const void *m_handle = nullptr;
    QStringList m_sheets;
    QString m_error;
};
