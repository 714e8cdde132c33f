#pragma once

#include "visor/pty_pair.h"

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

// A pseudo-terminal that reports, from the event loop, every byte a controller writes to it.
class PtyPort : public QObject {
    Q_OBJECT
public:
    // Throws std::runtime_error when the system gives no pseudo-terminal.
    explicit PtyPort(QObject* parent = nullptr);

    QString slavePath() const { return m_pair.slavePath(); }

signals:
    void received(const QByteArray& bytes);

private:
    PtyPair m_pair;
    QSocketNotifier m_notifier{m_pair.masterDescriptor(), QSocketNotifier::Read};
};
