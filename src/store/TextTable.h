#pragma once
// Rows of texts kept packed for lists that can run to a hundred thousand
// rows: the characters of every field in one buffer and one end offset per
// field, where a QString of its own would cost some 60 bytes more a field.
// Null stays apart from the empty text.
#include <QString>

#include <optional>
#include <vector>

class TextTable
{
public:
    explicit TextTable(int columns) : m_columns(columns) {}

    int columns() const { return m_columns; }
    int size() const { return int(m_ends.size() / size_t(m_columns)); }
    bool isEmpty() const { return m_ends.empty(); }
    void clear();

    // Adds one field to the last row, or starts a new row when that one is
    // full; a row is complete after columns() fields.
    void add(const std::optional<QString> &field);
    // Gives back the room reserved for growth once the rows are all in.
    void squeeze();

    std::optional<QString> value(int row, int column) const;
    // A null field reads as the empty text.
    QString text(int row, int column) const;

private:
    static constexpr quint32 kNull = 0x80000000u;

    int m_columns;
    QString m_chars;
    // The end of each field in m_chars, kNull set for a null field.
    std::vector<quint32> m_ends;
};
