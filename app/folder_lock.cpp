#include "app/folder_lock.h"

#include "core/log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

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
           pid == QCoreApplication::applicationPid() && host == QSysInfo::machineHostName();
}

QString FolderLock::take()
{
    if (m_lock.tryLock())
        return {};
    // A lock that names this very process was left by a controller that ended without letting
    // go and whose process number this one was given again, as the first programs started after
    // a restart of the system often are (and Wine's always are): no one else holds it.
    if (m_lock.error() == QLockFile::LockFailedError && namesThisProcess() &&
        m_lock.removeStaleLockFile() && m_lock.tryLock())
        return {};
    const QString folder = QDir::toNativeSeparators(QFileInfo(m_lock.fileName()).absolutePath());
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
