#pragma once

#include "emulator/display_cursor.h"
#include "emulator/display_decoder.h"

// The Logic Controls command set in normal display mode: 0x1F resets the display, clearing it
// and sending the cursor home; DLE (0x10) n moves the cursor to position n, 0 to 19 on the upper
// row and 20 to 39 on the lower one; LF moves it to the other row and CR to the start of its
// row. 0x04 n sets the brightness (n is no text). Text is written where the cursor stands. The
// vertical scroll mode that a reset selects is not kept: the display is read as in normal mode.
class LogicControlsDecoder : public DisplayDecoder {
public:
    void take(char byte, DisplayRows& rows) override;

private:
    enum class State { Idle, Position, Brightness };

    void takeIdle(char byte, DisplayRows& rows);

    State m_state = State::Idle;
    DisplayCursor m_cursor;
};
