#include "emulator/logic_controls_decoder.h"

namespace {

constexpr char reset = '\x1F';
constexpr char digitSelect = '\x10';
constexpr char brightness = '\x04';

} // namespace

void LogicControlsDecoder::take(char byte, DisplayRows& rows)
{
    switch (m_state) {
    case State::Idle:
        takeIdle(byte, rows);
        return;
    case State::Position: {
        const quint8 position = static_cast<quint8>(byte);
        m_cursor.moveTo(position % displayColumns, position / displayColumns);
        m_state = State::Idle;
        return;
    }
    case State::Brightness:
        m_state = State::Idle;
        return;
    }
}

void LogicControlsDecoder::takeIdle(char byte, DisplayRows& rows)
{
    switch (byte) {
    case reset:
        rows = {};
        m_cursor.home();
        return;
    case digitSelect:
        m_state = State::Position;
        return;
    case brightness:
        m_state = State::Brightness;
        return;
    default:
        m_cursor.take(byte, rows);
    }
}
