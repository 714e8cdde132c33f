#include "window/port_choices.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>

namespace {

QString describe(const QSerialPortInfo& port)
{
    QStringList parts;
    for (const QString& part : {port.description(), port.manufacturer()}) {
        if (!part.isEmpty() && !parts.contains(part))
            parts << part;
    }
    return parts.isEmpty() ? QStringLiteral("porta série") : parts.join(QStringLiteral(", "));
}

} // namespace

QList<PortChoice> portChoices(const QString& byIdFolder)
{
    QList<PortChoice> choices;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_WIN
        const QString porta = port.portName(); // COM3; the system location is \\.\COM3
#else
        const QString porta = port.systemLocation();
#endif
        choices.append({porta, describe(port)});
    }
    const QDir byId(byIdFolder);
    for (const QFileInfo& link : byId.entryInfoList(QDir::System | QDir::Files, QDir::Name)) {
        const QString target = QFileInfo(link.symLinkTarget()).fileName();
        choices.append({link.absoluteFilePath(),
                        target.isEmpty() ? QStringLiteral("nome fixo")
                                         : QStringLiteral("nome fixo de %1").arg(target)});
    }
    return choices;
}
