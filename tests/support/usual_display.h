#pragma once

#include <QByteArray>
#include <QStringList>

// The bytes one message puts on the line of the usual display (clear "12", line starts
// "27+81+65" and "27+81+66", line ends "13"): clear, then each line between its codes.
inline QByteArray usualDisplayMessage(const QByteArray& linha1, const QByteArray& linha2)
{
    return QByteArray("\x0C\x1BQA") + linha1 + "\r\x1BQB" + linha2 + "\r";
}

// The bytes of one message a line, line 2 empty, in order.
inline QByteArray usualDisplayMessages(const QStringList& linhas1)
{
    QByteArray bytes;
    for (const QString& linha1 : linhas1)
        bytes += usualDisplayMessage(linha1.toLatin1(), "");
    return bytes;
}
