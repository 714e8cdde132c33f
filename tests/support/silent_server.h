#pragma once

#include <QList>
#include <QTcpServer>
#include <QTcpSocket>

// A database server that takes connections on 127.0.0.1 and never says a word: a client's login
// waits until its own time-out, or until hangUp() closes the connections taken so far.
class SilentServer : public QObject {
public:
    // Throws std::runtime_error when no port can be had.
    SilentServer();

    quint16 port() const { return m_server.serverPort(); }
    // How many connections were taken since the start.
    int connections() const { return m_connections; }
    void hangUp();

private:
    QTcpServer m_server;
    QList<QTcpSocket*> m_open;
    int m_connections = 0;
};
