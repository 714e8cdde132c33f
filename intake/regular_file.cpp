#include "intake/regular_file.h"

#include "core/failure.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

Failure refused(const QString& path, const QString& reason)
{
    return Failure(QStringLiteral("Não foi possível ler o ficheiro \"%1\": %2").arg(path, reason));
}

} // namespace

void openRegularFile(QFile& file, const QString& path)
{
#ifdef Q_OS_UNIX
    const int handle = ::open(QFile::encodeName(path).constData(),
                              O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (handle < 0) {
        const int error = errno;
        if (error == ELOOP)
            throw refused(path, QStringLiteral("é uma ligação simbólica"));
        if (error == ENOENT)
            throw refused(path, QStringLiteral("já não existe"));
        throw refused(path, QString::fromLocal8Bit(std::strerror(error)));
    }
    struct stat status {};
    if (::fstat(handle, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(handle);
        throw refused(path, S_ISDIR(status.st_mode)
                                ? QStringLiteral("é uma pasta")
                                : QStringLiteral("não é um ficheiro normal (FIFO ou dispositivo)"));
    }
    if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(handle);
        throw refused(path, file.errorString());
    }
#else
    const QFileInfo info(path);
    if (info.isSymLink())
        throw refused(path, QStringLiteral("é uma ligação simbólica"));
    if (!info.exists())
        throw refused(path, QStringLiteral("já não existe"));
    if (!info.isFile())
        throw refused(path, QStringLiteral("não é um ficheiro normal"));
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        throw refused(path, file.errorString());
#endif
}
