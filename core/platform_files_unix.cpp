#include "core/platform_files.h"

#include "core/failure.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

QString systemReason()
{
    return qt_error_string(errno);
}

} // namespace

bool flushToDisk(int handle)
{
    return ::fsync(handle) == 0;
}

bool renameWithoutReplacing(const QString& from, const QString& to)
{
#ifdef Q_OS_LINUX
    if (::renameat2(AT_FDCWD, QFile::encodeName(from).constData(), AT_FDCWD,
                    QFile::encodeName(to).constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    if (errno != EINVAL && errno != ENOSYS)
        throw Failure(systemReason());
#endif
    // Where the file system cannot refuse to replace, the lock on the controller's folder keeps
    // any other writer away between the look and the rename.
    const QFileInfo target(to);
    if (target.exists() || target.isSymLink())
        return false;
    QFile file(from);
    if (!file.rename(to))
        throw Failure(file.errorString());
    return true;
}

void flushFolder(const QString& folder)
{
    const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    const bool flushed = handle >= 0 && ::fsync(handle) == 0;
    const QString reason = flushed ? QString() : systemReason();
    if (handle >= 0)
        ::close(handle);
    if (!flushed)
        throw Failure(reason);
}
