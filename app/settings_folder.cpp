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

} // namespace

QString settingsFolder(const QString& chosen, const QString& programFolder,
                       const QString& userFolder)
{
    if (!chosen.isEmpty())
        return chosen;
    if (QFileInfo::exists(QDir(programFolder).filePath(QStringLiteral("Mostrela.cfg"))) ||
        canWriteIn(programFolder))
        return programFolder;
    if (!QDir().mkpath(userFolder))
        qCWarning(lcMostrela).noquote() << QStringLiteral("Não foi possível criar a pasta %1")
                                               .arg(QDir::toNativeSeparators(userFolder));
    return userFolder;
}
