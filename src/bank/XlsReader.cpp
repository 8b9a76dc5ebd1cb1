#include "bank/XlsReader.h"

#include <QFileInfo>
#include <QLocale>

#include <freexl.h>

#include <cmath>

namespace {

XlsCell cellText(const FreeXL_CellValue &v)
{
    switch (v.type) {
    case FREEXL_CELL_INT:
        return QString::number(v.value.int_value);
    case FREEXL_CELL_DOUBLE: {
        const double d = v.value.double_value;
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e15)
            return QString::number(qint64(d));
        return QString::number(d, 'g', QLocale::FloatingPointShortest);
    }
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME: {
        const QString s = QString::fromUtf8(v.value.text_value);
        if (s.isEmpty())
            return std::nullopt;
        return s;
    }
    default:
        return std::nullopt;
    }
}

QString describe(int rc)
{
    switch (rc) {
    case FREEXL_FILE_NOT_FOUND:
        return QStringLiteral("文件不存在或无法读取");
    case FREEXL_INSUFFICIENT_MEMORY:
        return QStringLiteral("内存不足");
    case FREEXL_UNSUPPORTED_CHARSET:
        return QStringLiteral("不支持的字符集");
    default:
        return QStringLiteral("不是Excel 97-2003格式的文件");
    }
}

} // namespace

int XlsSheet::column(const QString &name) const
{
    return int(columns.indexOf(name));
}

XlsWorkbook::~XlsWorkbook()
{
    close();
}

bool XlsWorkbook::open(const QString &path)
{
    close();
    m_error.clear();
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        m_error = describe(FREEXL_FILE_NOT_FOUND);
        return false;
    }
    const void *handle = nullptr;
    const int rc = freexl_open(QFile::encodeName(path).constData(), &handle);
    if (rc != FREEXL_OK) {
        if (handle)
            freexl_close(handle);
        m_error = describe(rc);
        return false;
    }
    if (!handle) {
        // FreeXL gives up on some workbooks without saying why (one with a
        // text of 10,000 characters in a cell, for instance).
        m_error = QStringLiteral("文件内容无法读取");
        return false;
    }
    m_handle = handle;
    unsigned int count = 0;
    freexl_get_info(m_handle, FREEXL_BIFF_SHEET_COUNT, &count);
    for (unsigned int i = 0; i < count; ++i) {
        const char *name = nullptr;
        if (freexl_get_worksheet_name(m_handle, static_cast<unsigned short>(i), &name) == FREEXL_OK && name)
            m_sheets << QString::fromUtf8(name);
        else
            m_sheets << QString();
    }
    return true;
}

void XlsWorkbook::close()
{
    if (m_handle)
        freexl_close(m_handle);
    m_handle = nullptr;
    m_sheets.clear();
}

std::optional<XlsSheet> XlsWorkbook::sheet(const QString &name)
{
    const int index = int(m_sheets.indexOf(name));
    if (!m_handle || index < 0)
        return std::nullopt;
    if (freexl_select_active_worksheet(m_handle, static_cast<unsigned short>(index)) != FREEXL_OK)
        return std::nullopt;
    unsigned int lastRow = 0;
    unsigned short lastColumn = 0;
    if (freexl_worksheet_dimensions(m_handle, &lastRow, &lastColumn) != FREEXL_OK)
        return std::nullopt;
    // FreeXL gives the counts of rows and columns (0 for an empty sheet).
    const unsigned int rowCount = lastRow;
    const unsigned short columnCount = lastColumn;
    XlsSheet sheet;
    if (rowCount == 0 || columnCount == 0)
        return sheet;
    FreeXL_CellValue v;
    std::vector<bool> headerBlank;
    for (unsigned short c = 0; c < columnCount; ++c) {
        XlsCell name;
        if (freexl_get_cell_value(m_handle, 0, c, &v) == FREEXL_OK)
            name = cellText(v);
        sheet.columns << name.value_or(QStringLiteral("F%1").arg(c + 1));
        headerBlank.push_back(!name.has_value());
    }
    sheet.rows.reserve(rowCount - 1);
    for (unsigned int r = 1; r < rowCount; ++r) {
        std::vector<XlsCell> row(columnCount);
        bool any = false;
        for (unsigned short c = 0; c < columnCount; ++c) {
            if (freexl_get_cell_value(m_handle, r, c, &v) == FREEXL_OK)
                row[c] = cellText(v);
            any = any || row[c].has_value();
        }
        if (any)
            sheet.rows.push_back(std::move(row));
    }
    // Formatting can stretch a sheet past its last column; a column without
    // a name and without a value is no column.
    while (!sheet.columns.isEmpty() && headerBlank.back()) {
        const size_t last = size_t(sheet.columns.size() - 1);
        bool used = false;
        for (const auto &row : sheet.rows)
            used = used || row[last].has_value();
        if (used)
            break;
        sheet.columns.removeLast();
        headerBlank.pop_back();
        for (auto &row : sheet.rows)
            row.pop_back();
    }
    return sheet;
}
