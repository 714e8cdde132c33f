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
    if (m_device != name() || !m_plugged)
        throw Failure(QStringLiteral("Não foi possível abrir a porta %1: No such file or directory")
                          .arg(m_device));
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
            throw Failure(
                QStringLiteral("Não foi possível escrever na porta %1: Operation timed out")
                    .arg(m_device));
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
