#pragma once

#include <QList>
#include <QString>

// A serial port the Porta field can be set to, as the picker beside the field offers it.
struct PortChoice {
    QString porta;       // what goes into the field
    QString description; // what the port is, as the system describes it
};

// The machine's serial ports, as Qt finds them, then (on Linux) the names under `byIdFolder`,
// which stay the same when a USB adapter moves to another socket.
QList<PortChoice> portChoices(const QString& byIdFolder = QStringLiteral("/dev/serial/by-id"));
