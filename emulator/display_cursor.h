#pragma once

#include "emulator/display_decoder.h"

// The cursor of a cursor-addressed display: a character goes where the cursor stands and moves it
// one column on; past the last column it goes on at the start of the other row, as such displays
// do in overwrite mode.
class DisplayCursor {
public:
    void home() { m_column = m_row = 0; }
    // Columns and rows count from 0; a place outside the display leaves the cursor where it is.
    void moveTo(qsizetype column, qsizetype row);
    void toRowStart() { m_column = 0; }
    void toOtherRow() { m_row = 1 - m_row; }
    void write(char byte, DisplayRows& rows);
    // What both cursor-addressed command sets do with a byte that is no command of theirs: LF
    // to the other row, CR to the row's start, a printable character written, any other ignored.
    void take(char byte, DisplayRows& rows);

private:
    qsizetype m_column = 0;
    qsizetype m_row = 0;
};
