#include "emulator/esc_pos_decoder.h"

namespace {

constexpr char escape = '\x1B';
constexpr char unitSeparator = '\x1F';
constexpr char clearScreen = '\x0C';
constexpr char home = '\x0B';

} // namespace

void EscPosDecoder::take(char byte, DisplayRows& rows)
{
    switch (m_state) {
    case State::Idle:
        takeIdle(byte, rows);
        return;
    case State::Escape:
        m_state = byte == 't' ? State::CodeTable : State::Idle;
        if (byte == '@')
            clear(rows);
        return;
    case State::CodeTable:
        m_state = State::Idle;
        return;
    case State::Unit:
        m_state = byte == '$' ? State::Column : State::Idle;
        return;
    case State::Column:
        m_column = static_cast<quint8>(byte);
        m_state = State::Row;
        return;
    case State::Row:
        m_cursor.moveTo(m_column - 1, static_cast<quint8>(byte) - 1);
        m_state = State::Idle;
        return;
    }
}

void EscPosDecoder::takeIdle(char byte, DisplayRows& rows)
{
    switch (byte) {
    case escape:
        m_state = State::Escape;
        return;
    case unitSeparator:
        m_state = State::Unit;
        return;
    case clearScreen:
        clear(rows);
        return;
    case home:
        m_cursor.home();
        return;
    default:
        m_cursor.take(byte, rows);
    }
}

void EscPosDecoder::clear(DisplayRows& rows)
{
    rows = {};
    m_cursor.home();
}
