#include "plain_port.h"

#include "core/failure.h"
#include "plain_intake.h"
#include "support/pseudo_terminal.h"

#include <QSerialPort>

double plainPortCpuSeconds(int count, qsizetype frameBytes)
{
    PseudoTerminal terminal;
    QSerialPort port(terminal.slavePath());
    const QByteArray frame(frameBytes, 'M');
    double used = 0;
    for (int written = 0; written < count; ++written) {
        const double start = threadCpuSeconds();
        port.setBaudRate(QSerialPort::Baud9600);
        if (!port.open(QIODevice::WriteOnly) || port.write(frame) != frame.size())
            throw Failure(QStringLiteral("Cannot write to %1: %2")
                              .arg(terminal.slavePath(), port.errorString()));
        while (port.bytesToWrite() > 0) {
            if (!port.waitForBytesWritten(2000))
                throw Failure(QStringLiteral("Cannot write to %1: %2")
                                  .arg(terminal.slavePath(), port.errorString()));
        }
        port.close();
        used += threadCpuSeconds() - start;
        if (terminal.take(frame.size()).size() != frame.size())
            throw Failure(QStringLiteral("The frame did not reach the other end"));
    }
    return used;
}
