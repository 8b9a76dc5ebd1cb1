#include "store/XlsWire.h"

#include <freexl.h>

#include <cstring>
#include <vector>

namespace XlsWire {

namespace {

class Writer
{
public:
    void u8(std::uint8_t v) { m_out.push_back(char(v)); }
    void u32(std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            m_out.push_back(char((v >> (8 * i)) & 0xff));
    }
    void i32(std::int32_t v) { u32(std::uint32_t(v)); }
    void f64(double d)
    {
        std::uint64_t v;
        std::memcpy(&v, &d, sizeof v);
        for (int i = 0; i < 8; ++i)
            m_out.push_back(char((v >> (8 * i)) & 0xff));
    }
    void text(const char *s)
    {
        const std::size_t n = s ? std::strlen(s) : 0;
        u32(std::uint32_t(n));
        m_out.append(s ? s : "", n);
    }
    void raw(const char *s) { m_out.append(s); }
    bool full() const { return m_out.size() > kMaxAnswerBytes; }
    std::string take() { return std::move(m_out); }

private:
    std::string m_out;
};

void writeCell(Writer &w, const void *handle, unsigned int r, unsigned short c)
{
    FreeXL_CellValue v;
    if (freexl_get_cell_value(handle, r, c, &v) != FREEXL_OK) {
        w.u8(std::uint8_t(Cell::Empty));
        return;
    }
    switch (v.type) {
    case FREEXL_CELL_INT:
        w.u8(std::uint8_t(Cell::Int));
        w.i32(v.value.int_value);
        return;
    case FREEXL_CELL_DOUBLE:
        w.u8(std::uint8_t(Cell::Double));
        w.f64(v.value.double_value);
        return;
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        w.u8(std::uint8_t(Cell::Text));
        w.text(v.value.text_value);
        return;
    default:
        w.u8(std::uint8_t(Cell::Empty));
    }
}

} // namespace

std::string readWorkbook(const char *path)
{
    Writer w;
    w.raw(kMagic);
    w.u8(kVersion);
    const void *handle = nullptr;
    int rc = freexl_open(path, &handle);
    if (rc == FREEXL_OK && !handle)
        rc = kGaveUp;
    if (rc != FREEXL_OK) {
        if (handle)
            freexl_close(handle);
        w.u8(std::uint8_t(Status::OpenFailed));
        w.i32(rc);
        w.raw(kEnd);
        return w.take();
    }
    w.u8(std::uint8_t(Status::Opened));
    unsigned int count = 0;
    freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &count);
    if (count > kMaxSheets)
        count = 0;
    w.u32(count);
    for (unsigned int i = 0; i < count; ++i) {
        const char *name = nullptr;
        if (freexl_get_worksheet_name(handle, static_cast<unsigned short>(i), &name) != FREEXL_OK)
            name = nullptr;
        w.text(name);
    }
    for (unsigned int i = 0; i < count && !w.full(); ++i) {
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (freexl_select_active_worksheet(handle, static_cast<unsigned short>(i)) != FREEXL_OK
            || freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK || rows > kMaxRows
            || columns > kMaxColumns) {
            w.u8(0);
            continue;
        }
        w.u8(1);
        w.u32(rows);
        w.u32(columns);
        for (unsigned int r = 0; r < rows && !w.full(); ++r)
            for (unsigned short c = 0; c < columns; ++c)
                writeCell(w, handle, r, c);
    }
    freexl_close(handle);
    if (!w.full())
        w.raw(kEnd);
    return w.take();
}

} // namespace XlsWire
