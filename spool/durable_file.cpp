#include "spool/durable_file.h"

#include "core/failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#else
#include <io.h>
#include <windows.h>
#endif

namespace {

QString systemReason()
{
    return qt_error_string(errno);
}

bool flushToDisk(int handle)
{
#ifdef Q_OS_UNIX
    return ::fsync(handle) == 0;
#else
    return ::_commit(handle) == 0;
#endif
}

// Renames without ever replacing `path`; false when the name is taken.
bool giveName(const QString& temporary, const QString& path)
{
#ifdef Q_OS_LINUX
    if (::renameat2(AT_FDCWD, QFile::encodeName(temporary).constData(), AT_FDCWD,
                    QFile::encodeName(path).constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    if (errno != EINVAL && errno != ENOSYS)
        throw Failure(systemReason());
#elif defined(Q_OS_WIN)
    // Without MOVEFILE_REPLACE_EXISTING the system itself refuses a name that is taken.
    const std::wstring from = QDir::toNativeSeparators(temporary).toStdWString();
    const std::wstring to = QDir::toNativeSeparators(path).toStdWString();
    if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH))
        return true;
    const DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        return false;
    throw Failure(qt_error_string(static_cast<int>(error)));
#endif
    // Where the file system cannot refuse to replace, the lock on the controller's folder keeps
    // any other writer away between the look and the rename.
    const QFileInfo target(path);
    if (target.exists() || target.isSymLink())
        return false;
    QFile file(temporary);
    if (!file.rename(path))
        throw Failure(file.errorString());
    return true;
}

} // namespace

bool createDurably(const QString& path, const QByteArray& bytes)
{
    const QString temporary = path + temporarySuffix;
    QFile::remove(temporary);
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                   QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        throw Failure(file.errorString());
    QString failure;
    if (file.write(bytes) != bytes.size() || !file.flush())
        failure = file.errorString();
    else if (!flushToDisk(file.handle()))
        failure = systemReason();
    file.close();
    bool named = false;
    if (failure.isEmpty())
        failure = runTrapped([&] { named = giveName(temporary, path); });
    if (!named)
        QFile::remove(temporary);
    if (!failure.isEmpty())
        throw Failure(failure);
    return named;
}

void flushFolder(const QString& folder)
{
#ifdef Q_OS_UNIX
    const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    const bool flushed = handle >= 0 && ::fsync(handle) == 0;
    const QString reason = flushed ? QString() : systemReason();
    if (handle >= 0)
        ::close(handle);
    if (!flushed)
        throw Failure(reason);
#else
    Q_UNUSED(folder); // NTFS journals its folder entries
#endif
}
