#include "emulator/virtual_display.h"

VirtualDisplay::VirtualDisplay(DisplayCommandSet commandSet, const CodePage& codePage)
    : m_decoder(makeDisplayDecoder(commandSet)), m_codePage(codePage)
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
    return m_codePage.decode(m_rows[0]);
}

QString VirtualDisplay::lowerLine() const
{
    return m_codePage.decode(m_rows[1]);
}
