#include "support/memory_port.h"

#include "core/failure.h"
#include "display/serial_port.h"

#include <QDeadlineTimer>

void MemoryPort::setPort(const QString& porta)
{
    const QString device = SerialPort::deviceName(porta);
    const QMutexLocker lock(&m_mutex);
    m_device = device;
}

void MemoryPort::open()
{
    const QMutexLocker lock(&m_mutex);
    if (m_device != m_name || !m_plugged)
        throw Failure(failure(QStringLiteral("Não foi possível abrir a porta"),
                              QStringLiteral("No such file or directory")));
    m_open = true;
}

void MemoryPort::write(const QByteArray& bytes)
{
    QMutexLocker lock(&m_mutex);
    if (!m_open)
        throw Failure(QStringLiteral("A porta %1 não está aberta").arg(m_device));
    const QDeadlineTimer deadline(writeWaitMs);
    while (m_held) {
        if (!m_changed.wait(&m_mutex, deadline))
            throw Failure(failure(QStringLiteral("Não foi possível escrever na porta"),
                                  QStringLiteral("Operation timed out")));
    }
    m_received += bytes;
}

void MemoryPort::close()
{
    const QMutexLocker lock(&m_mutex);
    m_open = false;
}

void MemoryPort::change(bool& state, bool value)
{
    const QMutexLocker lock(&m_mutex);
    state = value;
    m_changed.wakeAll();
}

QByteArray MemoryPort::received() const
{
    const QMutexLocker lock(&m_mutex);
    return m_received;
}

QByteArray MemoryPort::take()
{
    const QMutexLocker lock(&m_mutex);
    return std::exchange(m_received, {});
}

QString MemoryPort::failure(const QString& what, const QString& why) const
{
    return QStringLiteral("%1 %2: %3").arg(what, m_device, why);
}
