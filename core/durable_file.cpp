#include "core/durable_file.h"

#include "core/failure.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#else
#include <io.h>
#endif

namespace {

QString failureText(const QString& path, const QString& reason)
{
    return QStringLiteral("Não foi possível gravar \"%1\": %2").arg(path, reason);
}

bool flushToDisk(int handle)
{
#ifdef Q_OS_UNIX
    return ::fsync(handle) == 0;
#else
    return ::_commit(handle) == 0;
#endif
}

} // namespace

void writeDurably(const QString& path, const QByteArray& bytes)
{
    const QString temporary = path + QStringLiteral(".tmp");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Failure(failureText(temporary, file.errorString()));
    const bool written =
        file.write(bytes) == bytes.size() && file.flush() && flushToDisk(file.handle());
    const QString reason = file.errorString();
    file.close();
    if (!written || !QFile::rename(temporary, path)) {
        QFile::remove(temporary);
        throw Failure(
            failureText(path, written ? QStringLiteral("não foi possível renomear") : reason));
    }
}

void flushFolder(const QString& folder)
{
#ifdef Q_OS_UNIX
    const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    const bool flushed = handle >= 0 && ::fsync(handle) == 0;
    if (handle >= 0)
        ::close(handle);
    if (!flushed)
        throw Failure(failureText(folder, QString::fromLocal8Bit(::strerror(errno))));
#else
    Q_UNUSED(folder); // NTFS journals its folder entries
#endif
}
