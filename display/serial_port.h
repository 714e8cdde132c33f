#pragma once

#include "core/line_settings.h"
#include "display/display_port.h"

#include <QByteArray>
#include <QSerialPort>
#include <QString>

// The window's serial port (mscDisplay). It keeps a port and line settings between uses and is
// opened, written and closed around each output, so it is never left open between messages.
// Every failure throws Failure with the port's name and the system's reason.
class SerialPort : public DisplayPort {
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
    void setPort(const QString& porta) override;
    void setSettings(const LineSettings& settings) override { m_settings = settings; }

    bool isOpen() const { return m_port.isOpen(); }
    void open() override;
    void write(const QByteArray& bytes) override;
    void close() override;

private:
    QString failureText(const QString& what) const;

    QSerialPort m_port;
    QString m_deviceName;
    LineSettings m_settings;
};
