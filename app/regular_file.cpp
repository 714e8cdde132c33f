#include "app/regular_file.h"

#include "core/failure.h"

#include <QFile>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QFileInfo>
#endif

namespace {

constexpr qint64 chunkSize = 64 * 1024;

QString readError(const QString& path, const QString& reason)
{
    return QStringLiteral("Não foi possível ler \"%1\": %2").arg(path, reason);
}

[[noreturn]] void throwMissing(const QString& path)
{
    throw Failure(QStringLiteral("Ficheiro não encontrado: \"%1\"").arg(path));
}

#ifdef Q_OS_UNIX

QString notRegularReason(mode_t mode)
{
    if (S_ISFIFO(mode))
        return QStringLiteral("não é um ficheiro comum, é um pipe com nome (FIFO)");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("não é um ficheiro comum, é um dispositivo");
    if (S_ISDIR(mode))
        return QStringLiteral("não é um ficheiro comum, é uma pasta");
    return QStringLiteral("não é um ficheiro comum");
}

// Without O_NONBLOCK, opening a FIFO waits for a writer that may never come. The check is made
// on the open handle, so the file cannot be swapped between the check and the read.
void openRegular(const QString& path, QFile& file)
{
    const QByteArray name = QFile::encodeName(path);
    int descriptor = -1;
    do {
        descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0) {
        if (errno == ENOENT)
            throwMissing(path);
        throw Failure(readError(path, qt_error_string(errno)));
    }
    struct stat status {};
    QString refusal;
    if (::fstat(descriptor, &status) != 0)
        refusal = qt_error_string(errno);
    else if (!S_ISREG(status.st_mode))
        refusal = notRegularReason(status.st_mode);
    if (refusal.isEmpty() &&
        !file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        refusal = file.errorString();
    if (!refusal.isEmpty()) {
        ::close(descriptor);
        throw Failure(readError(path, refusal));
    }
}

#else

void openRegular(const QString& path, QFile& file)
{
    const QFileInfo info(path);
    if (!info.exists())
        throwMissing(path);
    if (!info.isFile())
        throw Failure(readError(path, QStringLiteral("não é um ficheiro comum")));
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(readError(path, file.errorString()));
}

#endif

} // namespace

QByteArray readRegularFile(const QString& path, qint64 maximumSize)
{
    QFile file;
    openRegular(path, file);
    QByteArray bytes;
    // One byte past the limit is enough to know the file is too large.
    while (bytes.size() <= maximumSize) {
        const QByteArray chunk = file.read(std::min(chunkSize, maximumSize + 1 - bytes.size()));
        if (file.error() != QFileDevice::NoError)
            throw Failure(readError(path, file.errorString()));
        if (chunk.isEmpty())
            break;
        bytes += chunk;
    }
    if (bytes.size() > maximumSize)
        throw Failure(QStringLiteral("Ficheiro demasiado grande: \"%1\" tem mais de %2 bytes")
                          .arg(path)
                          .arg(maximumSize));
    return bytes;
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
    return !info.exists() || info.isFile() ? QString() : QStringLiteral("não é um ficheiro comum");
#endif
}
