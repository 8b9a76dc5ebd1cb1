#include "store/TextTable.h"

#include "store/CADOConn.h"

void TextTable::clear()
{
    m_chars.clear();
    m_ends.clear();
}

void TextTable::add(const std::optional<QString> &field)
{
    if (field)
        m_chars += *field;
    // The offsets leave one bit for the null mark: two thousand million
    // characters, far beyond any list the program shows.
    if (quint64(m_chars.size()) >= kNull)
        throw DbError(QStringLiteral("too many rows to list"));
    m_ends.push_back(quint32(m_chars.size()) | (field ? 0 : kNull));
}

void TextTable::squeeze()
{
    m_chars.squeeze();
    m_ends.shrink_to_fit();
}

std::optional<QString> TextTable::value(int row, int column) const
{
    const size_t at = size_t(row) * size_t(m_columns) + size_t(column);
    if (row < 0 || column < 0 || column >= m_columns || at >= m_ends.size() || (m_ends[at] & kNull))
        return std::nullopt;
    const quint32 begin = at == 0 ? 0 : m_ends[at - 1] & ~kNull;
    return m_chars.mid(begin, (m_ends[at] & ~kNull) - begin);
}

QString TextTable::text(int row, int column) const
{
    return value(row, column).value_or(QString());
}
