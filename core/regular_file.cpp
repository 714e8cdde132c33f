#include "core/regular_file.h"

#include "core/failure.h"

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QFileInfo>
#endif

namespace {

const QString notRegular = QStringLiteral("não é um ficheiro comum");
const QString symbolicLink = QStringLiteral("é uma ligação simbólica");
const QString missing = QStringLiteral("não existe");

Failure refused(const QString& path, const QString& reason)
{
    return Failure(QStringLiteral("Não foi possível ler o ficheiro \"%1\": %2").arg(path, reason));
}

#ifdef Q_OS_UNIX

QString notRegularReason(mode_t mode)
{
    if (S_ISFIFO(mode))
        return notRegular + QStringLiteral(", é um pipe com nome (FIFO)");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return notRegular + QStringLiteral(", é um dispositivo");
    if (S_ISDIR(mode))
        return notRegular + QStringLiteral(", é uma pasta");
    return notRegular;
}

#endif

} // namespace

void openRegularFile(QFile& file, const QString& path, Links links)
{
#ifdef Q_OS_UNIX
    const int flags =
        O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (links == Links::refuse ? O_NOFOLLOW : 0);
    int handle = -1;
    do {
        handle = ::open(QFile::encodeName(path).constData(), flags);
    } while (handle < 0 && errno == EINTR);
    if (handle < 0) {
        const int error = errno;
        if (error == ELOOP && links == Links::refuse)
            throw refused(path, symbolicLink);
        throw refused(path, error == ENOENT ? missing : qt_error_string(error));
    }
    struct stat status {};
    QString refusal;
    if (::fstat(handle, &status) != 0)
        refusal = qt_error_string(errno);
    else if (!S_ISREG(status.st_mode))
        refusal = notRegularReason(status.st_mode);
    else if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        refusal = file.errorString();
    if (!refusal.isEmpty()) {
        ::close(handle);
        throw refused(path, refusal);
    }
#else
    const QFileInfo info(path);
    if (links == Links::refuse && info.isSymLink())
        throw refused(path, symbolicLink);
    if (!info.exists())
        throw refused(path, missing);
    if (!info.isFile())
        throw refused(path, notRegular);
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        throw refused(path, file.errorString());
#endif
}

QString notRegularFile(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return errno == ENOENT ? QString() : qt_error_string(errno);
    return S_ISREG(status.st_mode) ? QString() : notRegularReason(status.st_mode);
#else
    const QFileInfo info(path);
    return !info.exists() || info.isFile() ? QString() : notRegular;
#endif
}
