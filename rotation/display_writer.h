#pragma once

#include "core/settings_snapshots.h"
#include "display/display_dispatch.h"
#include "display/serial_port.h"

#include <QObject>

class Spool;

// The display's port and its dispatch, meant to live on a thread of their own so that a display
// that stops reading never holds up the window. Each write() answers with written(), each
// writeTest() with testWritten().
class DisplayWriter : public QObject {
    Q_OBJECT
public:
    // A message's spool entry, when it has one, is removed as soon as the message has reached
    // the display, so that a restart shows again at most the message on its way there. The
    // display is written through the serial port, or through `port` when one is lent: it must
    // outlive the writer, and be written from the writer's thread.
    explicit DisplayWriter(Spool* spool = nullptr, DisplayPort* port = nullptr);

public slots:
    void write(quint64 id, const DisplaySettings& settings, const QString& linha1,
               const QString& linha2, quint64 spoolId);
    // A message that only checks the display: it goes out through the same port, and the
    // dispatch then forgets the last lines, so the rotation neither takes the test for its own
    // last message nor skips one that equals the message before the test.
    void writeTest(quint64 id, const DisplaySettings& settings, const QString& linha1,
                   const QString& linha2);
    // Messages dropped as too old to show: their spool entries go as those of shown ones do.
    // Here rather than on the window's thread, which never waits for the disk.
    void discard(const QList<quint64>& spoolIds);

signals:
    void written(quint64 id, const DisplayOutcome& outcome);
    void testWritten(quint64 id, const DisplayOutcome& outcome);

private:
    Spool* m_spool;
    SerialPort m_serialPort;
    DisplayPort& m_mscDisplay;
    DisplayDispatch m_dispatch{m_mscDisplay};
};
