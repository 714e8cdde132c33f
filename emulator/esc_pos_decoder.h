#pragma once

#include "emulator/display_cursor.h"
#include "emulator/display_decoder.h"

// The ESC/POS display command set, cursor-addressed: ESC @ initialises and 0x0C clears the
// display, both sending the cursor home; US $ x y moves the cursor to column x of row y (both
// from 1), HOME (0x0B) to the first column of the upper row, LF to the other row and CR to the
// start of its row. Text is written where the cursor stands. ESC t n selects a code table, which
// the reader of the rows decodes, so n is only passed over.
class EscPosDecoder : public DisplayDecoder {
public:
    void take(char byte, DisplayRows& rows) override;

private:
    enum class State { Idle, Escape, CodeTable, Unit, Column, Row };

    void takeIdle(char byte, DisplayRows& rows);
    void clear(DisplayRows& rows);

    State m_state = State::Idle;
    quint8 m_column = 0;
    DisplayCursor m_cursor;
};
