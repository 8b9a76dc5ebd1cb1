#pragma once
// Excel 97-2003 workbooks read with FreeXL, the way the imports see them:
// the first row of a sheet holds the column names, every cell is read as
// text (a whole number typed in a cell reads "12"), an empty cell is null.
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

using XlsCell = std::optional<QString>;

// A row an import takes, with its spreadsheet row number (header = 1).
struct XlsRow
{
    const std::vector<XlsCell> *cells;
    int sheetRow;
};

// The rows of a sheet an import takes, as both imports read them.
struct XlsCompleteRows
{
    std::vector<XlsRow> rows; // in sheet order
    int skipped = 0;          // rows left out for an empty required cell
    // The first complete row holding a text longer than a column holds
    // (Schema::MaxText), 0 when none: the import refuses the sheet whole.
    int tooLongRow = 0;
};

struct XlsSheet
{
    QStringList columns; // names of the first row; a blank name reads F<n>
    std::vector<std::vector<XlsCell>> rows; // the rows after the first, each as wide as columns

    // Index of a column by name, or -1.
    int column(const QString &name) const;

    // The complete rows: none of the required columns (by index) empty. The
    // reader leaves out rows without any value, so every other row counts as
    // skipped. Points to this sheet's rows.
    XlsCompleteRows completeRows(const QList<int> &required) const;
};

class XlsWorkbook
{
public:
    XlsWorkbook() = default;
    ~XlsWorkbook();
    XlsWorkbook(const XlsWorkbook &) = delete;
    XlsWorkbook &operator=(const XlsWorkbook &) = delete;

    // False when the file cannot be read as a workbook (missing, unreadable,
    // another format, encrypted, damaged); error() then says why.
    // The whole workbook is read at once by the reader process (see
    // store/XlsWire.h): a file that crashes or hangs the library fails here.
    bool open(const QString &path);
    void close();
    bool isOpen() const { return m_open; }
    QString error() const { return m_error; }

    QStringList sheetNames() const { return m_sheets; }
    bool hasSheet(const QString &name) const { return m_sheets.contains(name); }

    // The whole sheet; none when there is no such sheet or it cannot be read.
    std::optional<XlsSheet> sheet(const QString &name);

    // Takes the workbook from what the reader process wrote for it; false
    // (error() says why) for an incomplete or malformed answer.
    bool openAnswer(QByteArrayView answer);

    // The reader process: vorn-xls-reader beside the running executable.
    static QString readerProgram();
    // How long the reader may take for one workbook.
    static constexpr int DefaultTimeLimitMs = 30000;
    // Another reader program and time limit (tests); an empty program
    // restores the defaults.
    static void setReader(const QString &program, int timeLimitMs = DefaultTimeLimitMs);

private:
    bool fail(const QString &error);

    bool m_open = false;
    QStringList m_sheets;
    std::vector<std::optional<XlsSheet>> m_data; // by sheet position
    QString m_error;
};
