#pragma once

#include "display/display_port.h"

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QWaitCondition>

// A display port that keeps in memory the bytes written to it, for tests whose subject is what
// the controller sends and when, not the line. It answers to the Porta setting name() alone:
// another name is a port that does not exist. Pulled out, it cannot be opened; held, a write
// waits for release() as on a line whose display stopped reading, and fails after about as long as
// a serial port's would. Written on the display's thread, looked at from the test's.
class MemoryPort : public DisplayPort {
public:
    static constexpr int writeWaitMs = 2000;

    explicit MemoryPort(const QString& name = QStringLiteral("ecra-de-teste")) : m_name(name) {}

    QString name() const { return m_name; }

    void setPort(const QString& porta) override;
    // A line's settings mean nothing in memory.
    void setSettings(const LineSettings&) override {}
    void open() override;
    void write(const QByteArray& bytes) override;
    void close() override;

    void unplug() { change(m_plugged, false); }
    void plugIn() { change(m_plugged, true); }
    void hold() { change(m_held, true); }
    void release() { change(m_held, false); }

    // Everything received and not yet taken; never waits, so it suits QTRY_COMPARE.
    QByteArray received() const;
    QByteArray take();

private:
    QString failure(const QString& what, const QString& why) const;
    void change(bool& state, bool value);

    const QString m_name;
    mutable QMutex m_mutex;
    QWaitCondition m_changed;
    QString m_device;
    bool m_open = false;
    bool m_plugged = true;
    bool m_held = false;
    QByteArray m_received;
};
