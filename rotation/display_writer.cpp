#include "rotation/display_writer.h"

#include "spool/spool.h"

DisplayWriter::DisplayWriter(Spool* spool, DisplayPort* port)
    : m_spool(spool), m_mscDisplay(port ? *port : m_serialPort)
{
    qRegisterMetaType<DisplaySettings>();
    qRegisterMetaType<DisplayOutcome>();
}

void DisplayWriter::write(quint64 id, const DisplaySettings& settings, const QString& linha1,
                          const QString& linha2, quint64 spoolId)
{
    const DisplayOutcome outcome = m_dispatch.LancaNoDisplay(settings, linha1, linha2);
    if (outcome.reached && m_spool)
        m_spool->shown(spoolId);
    emit written(id, outcome);
}

void DisplayWriter::writeTest(quint64 id, const DisplaySettings& settings, const QString& linha1,
                              const QString& linha2)
{
    DisplayDispatch test(m_mscDisplay);
    const DisplayOutcome outcome = test.LancaNoDisplay(settings, linha1, linha2);
    // Whole or in part, the test took the place of the rotation's last lines on the display.
    m_dispatch.forget();
    emit testWritten(id, outcome);
}

void DisplayWriter::discard(const QList<quint64>& spoolIds)
{
    if (!m_spool)
        return;
    for (const quint64 id : spoolIds)
        m_spool->shown(id);
}
