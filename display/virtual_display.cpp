#include "display/virtual_display.h"

#include "core/text_encoding.h"

namespace {

constexpr char escape = '\x1B';
constexpr char clear = '\x0C';
constexpr char endOfLine = '\r';

} // namespace

bool VirtualDisplay::feed(const QByteArray& bytes)
{
    bool changed = false;
    for (const char byte : bytes)
        changed = take(byte) || changed;
    return changed;
}

bool VirtualDisplay::take(char byte)
{
    switch (m_state) {
    case State::Idle:
        if (byte == escape)
            m_state = State::Escape;
        else if (byte == clear)
            return setLines({}, {});
        return false;
    case State::Escape:
        m_state = byte == 'Q' ? State::EscapeQ : State::Idle;
        if (byte == '@')
            return setLines({}, {});
        return false;
    case State::EscapeQ:
        m_state = byte == 'A' ? State::UpperText : byte == 'B' ? State::LowerText : State::Idle;
        m_pending.clear();
        return false;
    case State::UpperText:
    case State::LowerText:
        if (byte == escape) {
            m_state = State::Escape; // an unfinished line is dropped
            return false;
        }
        if (byte != endOfLine) {
            m_pending.append(byte);
            return false;
        }
        const QString text = decodeWindows1252(m_pending);
        const bool upper = m_state == State::UpperText;
        m_state = State::Idle;
        return upper ? setLines(text, m_lower) : setLines(m_upper, text);
    }
    return false;
}

bool VirtualDisplay::setLines(const QString& upper, const QString& lower)
{
    if (upper == m_upper && lower == m_lower)
        return false;
    m_upper = upper;
    m_lower = lower;
    return true;
}
