#pragma once

#include <QString>
#include <QtGlobal>

// A serial line's settings as the display setup writes them (PortaDefinicoes): "speed,parity,
// data bits,stop bits", for instance "9600,n,8,1". The speed is one of the usual rates from 1200
// to 115200 baud; parity n (none), e (even), o (odd), m (mark) or s (space), in either case; 7 or
// 8 data bits; 1 or 2 stop bits. An empty text stands for "9600,n,8,1".
struct LineSettings {
    enum class Parity { none, even, odd, mark, space };

    qint32 baudRate = 9600;
    Parity parity = Parity::none;
    int dataBits = 8;
    int stopBits = 1;

    // Why the text cannot be used, in the words the window shows beside the field; empty when
    // it can.
    static QString problem(const QString& text);
    // Throws Failure naming the text and its problem.
    static LineSettings parse(const QString& text);

    friend bool operator==(const LineSettings&, const LineSettings&) = default;
};
