#include "app/settings_folder.h"

#include "core/log.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace {

// Permission bits tell nothing about root, access control lists or a read-only mount: the
// folder is writable when a file can be made in it.
bool canWriteIn(const QString& folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".mostrela-XXXXXX")));
    return probe.open();
}

bool sameFolder(const QString& left, const QString& right)
{
    const QString canonical = QFileInfo(left).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(right).canonicalFilePath();
}

QString made(const QString& folder)
{
    if (!QDir().mkpath(folder))
        qCWarning(lcMostrela).noquote() << QStringLiteral("Não foi possível criar a pasta %1")
                                               .arg(QDir::toNativeSeparators(folder));
    return folder;
}

} // namespace

QString settingsFolder(const QString& chosen, const QString& programFolder,
                       const QString& installedBinFolder, const QString& userFolder)
{
    if (!chosen.isEmpty())
        return chosen;
    if (!sameFolder(programFolder, installedBinFolder) &&
        (QFileInfo::exists(QDir(programFolder).filePath(QStringLiteral("Mostrela.cfg"))) ||
         canWriteIn(programFolder)))
        return programFolder;
    return made(userFolder);
}

ControllerFiles controllerFiles(const QString& settingsFolder, const QString& dataFolder)
{
    const QDir home(canWriteIn(settingsFolder) ? settingsFolder : made(dataFolder));
    return {home.filePath(QStringLiteral("fila")), home.filePath(QStringLiteral("Mostrela.lock"))};
}
