#include "emulator/esc_q_decoder.h"

namespace {

constexpr char escape = '\x1B';
constexpr char clear = '\x0C';
constexpr char endOfLine = '\r';

} // namespace

void EscQDecoder::take(char byte, DisplayRows& rows)
{
    switch (m_state) {
    case State::Idle:
        if (byte == escape)
            m_state = State::Escape;
        else if (byte == clear)
            rows = {};
        return;
    case State::Escape:
        m_state = byte == 'Q' ? State::EscapeQ : State::Idle;
        if (byte == '@')
            rows = {};
        return;
    case State::EscapeQ:
        m_state = byte == 'A' ? State::UpperText : byte == 'B' ? State::LowerText : State::Idle;
        m_pending.clear();
        return;
    case State::UpperText:
    case State::LowerText:
        if (byte == escape) {
            m_state = State::Escape; // an unfinished line is dropped
            return;
        }
        if (byte != endOfLine) {
            m_pending.append(byte);
            return;
        }
        rows[m_state == State::UpperText ? 0 : 1] = m_pending;
        m_state = State::Idle;
        return;
    }
}
