#include "app/settings_folder.h"

#include "core/log.h"
#include "core/platform_files.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

const QString configName = QStringLiteral("Mostrela.cfg");
const QString spoolName = QStringLiteral("fila");
const QString lockName = QStringLiteral("Mostrela.lock");
const QString logName = QStringLiteral("Mostrela.log");

// Permission bits tell nothing about root, access control lists or a read-only mount: the
// folder is writable when a file can be made in it.
bool canWriteIn(const QString& folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".mostrela-XXXXXX")));
    return probe.open();
}

QString canonical(const QString& path)
{
    const QString found = QFileInfo(path).canonicalFilePath();
    return found.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : found;
}

bool isInstalled(const QString& programFolder, const QStringList& places)
{
    const QString program = QFileInfo(programFolder).canonicalFilePath();
    if (program.isEmpty())
        return false;
    // One folder, whatever case it is written in, where the system compares names without it.
    const Qt::CaseSensitivity nameCase = fileNameCase();
    for (const QString& place : places) {
        const QString root = QFileInfo(place).canonicalFilePath();
        const QString within = root.endsWith(u'/') ? root : root + u'/';
        if (!root.isEmpty() &&
            (program.compare(root, nameCase) == 0 || program.startsWith(within, nameCase)))
            return true;
    }
    return false;
}

QString made(const QString& folder)
{
    if (!QDir().mkpath(folder))
        qCWarning(lcMostrela).noquote() << QStringLiteral("Não foi possível criar a pasta %1")
                                               .arg(QDir::toNativeSeparators(folder));
    return folder;
}

// The folder of the user's data that belongs to one settings folder: its name, readable, and a
// hash of its whole path, so that two folders of one name stay apart.
QString ownDataFolder(const QString& settingsFolder, const QString& dataFolder)
{
    const QString path = canonical(settingsFolder);
    QString name = QFileInfo(path).fileName();
    if (name.isEmpty())
        name = QStringLiteral("raiz");
    const QString hashed = fileNameCase() == Qt::CaseInsensitive ? path.toLower() : path;
    const QByteArray hash =
        QCryptographicHash::hash(hashed.toUtf8(), QCryptographicHash::Sha256).toHex().left(12);
    return QDir(dataFolder).filePath(name + u'-' + QString::fromLatin1(hash));
}

// Earlier versions kept one spool in the data folder for every read-only program folder. Which
// folder its messages came from is unknown, so none of them is shown on a display that may be
// the wrong one; the log says where they wait.
void warnOfSharedSpool(const QString& dataFolder)
{
    const QString shared = QDir(dataFolder).filePath(spoolName);
    const qsizetype waiting = QDir(shared).entryList({QStringLiteral("*.msg")}, QDir::Files).size();
    if (waiting > 0)
        qCWarning(lcMostrela).noquote()
            << QStringLiteral("A fila partilhada %1 de uma versão anterior tem %2 mensagens "
                              "por mostrar, de uma pasta de programa que não se sabe qual: "
                              "não são mostradas. Cada pasta tem agora a sua fila.")
                   .arg(QDir::toNativeSeparators(shared))
                   .arg(waiting);
}

// The settings beside an installed program start a user's own, once: the user's own are theirs
// to change from then on. Only a regular file is taken, as Mostrela.cfg is read.
void copyStartingSettings(const QString& programFolder, const QString& userFolder)
{
    const QString beside = QDir(programFolder).filePath(configName);
    const QString own = QDir(userFolder).filePath(configName);
    if (!QFileInfo(beside).isFile() || QFileInfo::exists(own) || QFileInfo(own).isSymLink())
        return;
    QFile copy(beside);
    if (!copy.copy(own)) {
        qCWarning(lcMostrela).noquote()
            << QStringLiteral("Não foi possível copiar %1 para %2: %3")
                   .arg(QDir::toNativeSeparators(beside), QDir::toNativeSeparators(own),
                        copy.errorString());
        return;
    }
    // It may hold the database's password, and the copy keeps the original's mode.
    QFile::setPermissions(own, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    qCInfo(lcMostrela).noquote()
        << QStringLiteral("As definições iniciais deste utilizador vêm de %1, copiado para %2")
               .arg(QDir::toNativeSeparators(beside), QDir::toNativeSeparators(own));
}

} // namespace

QString settingsFolder(const QString& chosen, const QString& programFolder,
                       const QStringList& installedPlaces, const QString& userFolder)
{
    if (!chosen.isEmpty())
        return chosen;
    const bool installed = isInstalled(programFolder, installedPlaces);
    if (!installed &&
        (QFileInfo::exists(QDir(programFolder).filePath(configName)) || canWriteIn(programFolder)))
        return programFolder;
    made(userFolder);
    if (installed)
        copyStartingSettings(programFolder, userFolder);
    return userFolder;
}

QString defaultSettingsFolderText(const QString& programFolder, const QStringList& installedPlaces)
{
    const QString userFolder = QDir::toNativeSeparators(
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    if (isInstalled(programFolder, installedPlaces))
        return QStringLiteral("a de configuração do utilizador, %1").arg(userFolder);
    return QStringLiteral("a do programa, %1, quando tem Mostrela.cfg ou se pode escrever nela; "
                          "senão, a de configuração do utilizador, %2")
        .arg(QDir::toNativeSeparators(programFolder), userFolder);
}

ControllerFiles controllerFiles(const QString& settingsFolder, const QString& dataFolder)
{
    if (canWriteIn(settingsFolder)) {
        const QDir home(settingsFolder);
        return {home.filePath(spoolName), home.filePath(lockName), home.filePath(logName)};
    }
    warnOfSharedSpool(dataFolder);
    const QDir own(made(ownDataFolder(settingsFolder, dataFolder)));
    return {own.filePath(spoolName), own.filePath(lockName), own.filePath(logName)};
}

void settleHomeFolder()
{
    if (!qEnvironmentVariableIsEmpty("HOME"))
        return;
    if (const QByteArray home = accountHomeFolder(); !home.isEmpty())
        qputenv("HOME", home);
}
