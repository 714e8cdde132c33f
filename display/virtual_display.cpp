#include "display/virtual_display.h"

#include "core/text_encoding.h"

VirtualDisplay::VirtualDisplay(DisplayCommandSet commandSet)
    : m_decoder(makeDisplayDecoder(commandSet))
{
}

bool VirtualDisplay::feed(const QByteArray& bytes)
{
    const DisplayRows before = m_rows;
    for (const char byte : bytes)
        m_decoder->take(byte, m_rows);
    return m_rows != before;
}

QString VirtualDisplay::upperLine() const
{
    return decodeWindows1252(m_rows[0]);
}

QString VirtualDisplay::lowerLine() const
{
    return decodeWindows1252(m_rows[1]);
}
