#include "app/folder_lock.h"

#include "core/log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

namespace {

// The host that QLockFile writes into its file: on Windows the computer's name from the
// environment (upper case, at most 15 letters), which is not the network host name that QSysInfo
// gives (under Wine, the Linux host's name as it stands).
QString lockHostName()
{
#ifdef Q_OS_WIN
    return qEnvironmentVariable("COMPUTERNAME");
#else
    return QSysInfo::machineHostName();
#endif
}

QString nativeFolder(const QLockFile& lock)
{
    return QDir::toNativeSeparators(QFileInfo(lock.fileName()).absolutePath());
}

} // namespace

FolderLock::FolderLock(const QString& lockFile) : m_lock(lockFile)
{
    // Only a holder that is gone (QLockFile asks the system for its process) makes a lock stale.
    m_lock.setStaleLockTime(0);
}

bool FolderLock::namesThisProcess() const
{
    qint64 pid = 0;
    QString host;
    QString application;
    return m_lock.getLockInfo(&pid, &host, &application) &&
           pid == QCoreApplication::applicationPid() && host == lockHostName();
}

QString FolderLock::take()
{
    // Whose lock was left, for the log: a controller that ended without letting go (killed, or
    // the power cut) leaves its lock, and the next one takes it over.
    qint64 leftBy = 0;
    m_lock.getLockInfo(&leftBy, nullptr, nullptr);
    if (m_lock.tryLock()) {
        logTakeOver(leftBy);
        return {};
    }
    // A lock that names this very process was left by a controller that ended without letting
    // go and whose process number this one was given again, as the first programs started after
    // a restart of the system often are (and those of a new Wine session always are): no one
    // else holds it.
    if (m_lock.error() == QLockFile::LockFailedError && namesThisProcess() &&
        m_lock.removeStaleLockFile() && m_lock.tryLock()) {
        logTakeOver(leftBy);
        return {};
    }
    const QString folder = nativeFolder(m_lock);
    qint64 pid = 0;
    QString host;
    QString application;
    QString refusal;
    if (m_lock.error() == QLockFile::LockFailedError &&
        m_lock.getLockInfo(&pid, &host, &application))
        refusal =
            QStringLiteral("Outro controlador já trabalha na pasta %1: o processo %2 (%3) em %4. "
                           "Este termina sem tocar em nada.")
                .arg(folder)
                .arg(pid)
                .arg(application, host);
    else
        refusal = QStringLiteral("Não foi possível reservar a pasta %1 para este controlador: "
                                 "%2 \"%3\". Este termina sem tocar em nada.")
                      .arg(folder,
                           m_lock.error() == QLockFile::PermissionError
                               ? QStringLiteral("sem permissão para criar")
                               : QStringLiteral("falhou"),
                           QDir::toNativeSeparators(m_lock.fileName()));
    qCCritical(lcMostrela).noquote() << refusal;
    return refusal;
}

void FolderLock::logTakeOver(qint64 leftBy) const
{
    if (leftBy > 0)
        qCInfo(lcMostrela).noquote()
            << QStringLiteral("A pasta %1 estava reservada pelo processo %2, que terminou sem a "
                              "libertar: passa para este controlador")
                   .arg(nativeFolder(m_lock))
                   .arg(leftBy);
}
