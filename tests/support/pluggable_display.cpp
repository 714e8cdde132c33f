#include "support/pluggable_display.h"

#include <QFile>
#include <stdexcept>

PluggableDisplay::PluggableDisplay(const QString& linkPath) : m_linkPath(linkPath)
{
    plugIn();
}

void PluggableDisplay::unplug()
{
    if (!m_terminal)
        return;
    QFile::remove(m_linkPath);
    m_earlier += m_terminal->received();
    m_terminal.reset();
}

void PluggableDisplay::plugIn()
{
    if (m_terminal)
        return;
    m_terminal = std::make_unique<PseudoTerminal>();
    if (!QFile::link(m_terminal->slavePath(), m_linkPath))
        throw std::runtime_error("cannot link the display's port");
}

QByteArray PluggableDisplay::received()
{
    return m_terminal ? m_earlier + m_terminal->received() : m_earlier;
}
