#pragma once

#include "emulator/display_decoder.h"

// The ESC Q A / ESC Q B command set: ESC @ initialises and 0x0C clears both lines; ESC Q A text
// CR writes the upper line and ESC Q B text CR the lower one (an ESC before the CR drops the
// unfinished line).
class EscQDecoder : public DisplayDecoder {
public:
    void take(char byte, DisplayRows& rows) override;

private:
    enum class State { Idle, Escape, EscapeQ, UpperText, LowerText };

    State m_state = State::Idle;
    QByteArray m_pending;
};
