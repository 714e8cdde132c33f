#pragma once

#include "core/line_settings.h"

#include <QByteArray>
#include <QSerialPort>
#include <QString>

// The window's serial port (mscDisplay). It keeps a port and line settings between uses and is
// opened, written and closed around each output, so it is never left open between messages.
// Every failure throws Failure with the port's name and the system's reason.
class SerialPort {
public:
    SerialPort() = default;
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
    void setPort(const QString& porta);
    // Applied on the next open.
    void setSettings(const LineSettings& settings) { m_settings = settings; }

    bool isOpen() const { return m_port.isOpen(); }
    // A port that another program holds, or that does not exist, fails at once.
    void open();
    // Returns once the bytes have left for the device.
    void write(const QByteArray& bytes);
    // Closing a port that is not open does nothing.
    void close();

private:
    QString failureText(const QString& what) const;

    QSerialPort m_port;
    QString m_deviceName;
    LineSettings m_settings;
};
