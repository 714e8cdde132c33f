#include "support/silent_server.h"

#include <stdexcept>

SilentServer::SilentServer()
{
    if (!m_server.listen(QHostAddress::LocalHost))
        throw std::runtime_error("cannot listen on 127.0.0.1");
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            m_open.append(socket);
            ++m_connections;
        }
    });
}

void SilentServer::hangUp()
{
    for (QTcpSocket* socket : std::exchange(m_open, {})) {
        socket->abort();
        socket->deleteLater();
    }
}
