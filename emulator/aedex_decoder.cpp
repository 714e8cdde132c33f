#include "emulator/aedex_decoder.h"

namespace {

constexpr char attentionFirst = '!';
constexpr char attentionSecond = '#';
constexpr char endOfCommand = '\r';

} // namespace

void AedexDecoder::take(char byte, DisplayRows& rows)
{
    switch (m_state) {
    case State::Idle:
        if (byte == attentionFirst)
            m_state = State::Attention;
        return;
    case State::Attention:
        if (byte != attentionFirst)
            m_state = byte == attentionSecond ? State::Command : State::Idle;
        return;
    case State::Command:
        m_command = byte;
        m_text.clear();
        m_state = byte == endOfCommand ? State::Idle : State::Text;
        return;
    case State::Text:
        if (byte != endOfCommand) {
            m_text.append(byte);
            return;
        }
        run(rows);
        m_state = State::Idle;
        return;
    }
}

void AedexDecoder::run(DisplayRows& rows) const
{
    switch (m_command) {
    case '1':
        rows[0] = m_text;
        return;
    case '2':
        rows[1] = m_text;
        return;
    case '9':
        rows = {m_text.left(displayColumns), m_text.mid(displayColumns)};
        return;
    }
}
