#include "visor/pty_port.h"

PtyPort::PtyPort(QObject* parent) : QObject(parent)
{
    connect(&m_notifier, &QSocketNotifier::activated, this, [this] {
        const QByteArray bytes = m_pair.readAvailable();
        if (!bytes.isEmpty())
            emit received(bytes);
    });
}
