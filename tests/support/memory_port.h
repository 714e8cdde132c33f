#pragma once

#include "display/display_port.h"

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QWaitCondition>

// A display port that keeps in memory the bytes written to it, for tests of what the controller
// sends and when. It answers to the Porta setting name() alone. Pulled out, it cannot be opened;
// held, a write waits for release(), as on a line whose display stopped reading, and fails after
// about as long as a serial port's would. Written on the display's thread, read from the test's.
class MemoryPort : public DisplayPort {
public:
    static constexpr int writeWaitMs = 2000;

    QString name() const { return QStringLiteral("ecra-de-teste"); }

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
    void change(bool& state, bool value);

    mutable QMutex m_mutex;
    QWaitCondition m_changed;
    QString m_device;
    bool m_open = false;
    bool m_plugged = true;
    bool m_held = false;
    QByteArray m_received;
};
