#pragma once

#include "core/line_settings.h"
#include "display/display_port.h"

#include <QByteArray>
#include <QString>
#ifndef Q_OS_WIN
#include <QSerialPort>
#endif

// The window's serial port (mscDisplay). It keeps a port and line settings between uses and is
// opened, written and closed around each output, so it is never left open between messages.
// Every failure throws Failure with the port's name and the system's reason.
class SerialPort : public DisplayPort {
public:
    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // How a system names its serial ports: /dev/ttyS0 or COM1.
    enum class Naming { ttyS, com, native };

    // The device for a port setting: a number n is COMn on Windows (\\.\COMn from 10 up, the
    // only form that the system takes there) and /dev/ttyS(n-1) elsewhere; any other text names
    // a device as it stands (/dev/ttyUSB0, COM3). Throws Failure for an empty text and for a
    // number outside 1 to 32767.
    static QString deviceName(const QString& porta, Naming naming = Naming::native);

    // Throws Failure as deviceName() does; the port then stays as it was.
    void setPort(const QString& porta) override;
    void setSettings(const LineSettings& settings) override { m_settings = settings; }

    bool isOpen() const;
    // A port that another program holds, or that does not exist, fails at once.
    void open() override;
    // Returns once the bytes have left for the device, or throws once the frame's deadline
    // (writeDeadlineMs()) has passed: a display that stops reading never holds the caller longer.
    void write(const QByteArray& bytes) override;
    // Closing a port that is not open does nothing.
    void close() override;

private:
    // 2 s beyond the time the line takes to carry `bytes` at the port's settings.
    int writeDeadlineMs(qsizetype bytes) const;
    QString failureText(const QString& what, const QString& reason) const;

#ifdef Q_OS_WIN
    // The port's handle, opened with the system's own calls for synchronous writes, each bounded
    // by the port's time-outs. Qt's port starts waiting for the line's events as it opens, and
    // Wine serves that wait only once a character arrives: on a line with nothing on it, the
    // open never returned.
    void* m_handle = nullptr;
#else
    QSerialPort m_port;
#endif
    QString m_deviceName;
    LineSettings m_settings;
};
