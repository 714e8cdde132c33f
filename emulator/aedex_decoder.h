#pragma once

#include "emulator/display_decoder.h"

// The AEDEX command set: a command is the attention code "!#", a command character, text and CR.
// Command 1 writes the upper line, 2 the lower line, and 9 both: its first 20 characters go to
// the upper line and the rest to the lower one, so "!#9 " CR clears the display. Other commands
// are read to their CR and ignored (the attention code is taken to stay "!#").
class AedexDecoder : public DisplayDecoder {
public:
    void take(char byte, DisplayRows& rows) override;

private:
    enum class State { Idle, Attention, Command, Text };

    void run(DisplayRows& rows) const;

    State m_state = State::Idle;
    char m_command = 0;
    QByteArray m_text;
};
