#pragma once

#include "core/line_settings.h"

#include <QByteArray>
#include <QString>

// What a display is written through: a port named by the Porta setting, with its line settings,
// opened, written and closed around each frame. The display's thread alone uses it. Every
// failure throws Failure with the port's name and the reason.
class DisplayPort {
public:
    virtual ~DisplayPort() = default;

    // Throws Failure for a setting that names no port; the port then stays as it was.
    virtual void setPort(const QString& porta) = 0;
    // Applied on the next open.
    virtual void setSettings(const LineSettings& settings) = 0;
    // A port that another program holds, or that does not exist, fails at once.
    virtual void open() = 0;
    // Returns once the bytes have left for the device, or throws within a bounded time.
    virtual void write(const QByteArray& bytes) = 0;
    // Closing a port that is not open does nothing.
    virtual void close() = 0;
};
