#include "emulator/display_cursor.h"

void DisplayCursor::moveTo(qsizetype column, qsizetype row)
{
    if (column < 0 || column >= displayColumns || row < 0 || row >= displayRowCount)
        return;
    m_column = column;
    m_row = row;
}

void DisplayCursor::write(char byte, DisplayRows& rows)
{
    QByteArray& row = rows[m_row];
    if (row.size() <= m_column)
        row.append(m_column - row.size() + 1, ' ');
    row[m_column] = byte;
    if (++m_column == displayColumns) {
        m_column = 0;
        toOtherRow();
    }
}

void DisplayCursor::take(char byte, DisplayRows& rows)
{
    if (byte == '\n')
        toOtherRow();
    else if (byte == '\r')
        toRowStart();
    else if (static_cast<quint8>(byte) >= ' ')
        write(byte, rows);
}
