#pragma once

#include <QSerialPort>
#include <QString>

// A serial line's settings as the display setup writes them: "baud,parity,data bits,stop bits",
// for instance "9600,n,8,1". Parity is one of n (none), e (even), o (odd), m (mark), s (space),
// in either case; data bits 5 to 8; stop bits 1, 1.5 or 2.
struct LineSettings {
    qint32 baudRate = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;

    // Throws Failure for a text that is not of that form.
    static LineSettings parse(const QString& text);
};
