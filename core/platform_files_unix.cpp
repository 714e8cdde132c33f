#include "core/platform_files.h"

#include "core/failure.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemReason()
{
    return qt_error_string(errno);
}

FileLook failed(int error)
{
    return {FileKind::failed, qt_error_string(error)};
}

FileKind kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return FileKind::regular;
    if (S_ISFIFO(mode))
        return FileKind::fifo;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return FileKind::device;
    if (S_ISDIR(mode))
        return FileKind::folder;
    return FileKind::other;
}

} // namespace

Qt::CaseSensitivity fileNameCase()
{
    return Qt::CaseSensitive;
}

FileLook openToRead(QFile& file, const QString& path, Links links)
{
    const int flags =
        O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (links == Links::refuse ? O_NOFOLLOW : 0);
    int handle = -1;
    do {
        handle = ::open(QFile::encodeName(path).constData(), flags);
    } while (handle < 0 && errno == EINTR);
    if (handle < 0) {
        const int error = errno;
        if (error == ELOOP && links == Links::refuse)
            return {FileKind::link, {}};
        return error == ENOENT ? FileLook{FileKind::missing, {}} : failed(error);
    }
    struct stat status {};
    FileLook look;
    if (::fstat(handle, &status) != 0)
        look = failed(errno);
    else if (const FileKind kind = kindOf(status.st_mode); kind != FileKind::regular)
        look = {kind, {}};
    else if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        look = {FileKind::failed, file.errorString()};
    else
        return {FileKind::regular, {}};
    ::close(handle);
    return look;
}

FileLook lookAt(const QString& path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return errno == ENOENT ? FileLook{FileKind::missing, {}} : failed(errno);
    return {kindOf(status.st_mode), {}};
}

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

std::optional<OwnerAndMode> ownerAndMode(const QString& path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return OwnerAndMode{status.st_uid, status.st_gid, status.st_mode & 07777};
}

bool giveOwnerAndMode(int handle, const OwnerAndMode& former)
{
    struct stat now {};
    if (::fstat(handle, &now) != 0)
        return false;
    if ((now.st_uid != former.user || now.st_gid != former.group) &&
        ::fchown(handle, former.user, former.group) != 0)
        return false;
    return (now.st_mode & 07777) == former.mode || ::fchmod(handle, former.mode) == 0;
}

bool readableByOthers(const QString& path)
{
    return QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther);
}

QList<FolderEntry> folderEntries(const QString& folder)
{
    DIR* stream = ::opendir(QFile::encodeName(folder).constData());
    if (stream == nullptr)
        throw Failure(QStringLiteral("Não foi possível ler a pasta \"%1\": %2")
                          .arg(folder, QString::fromLocal8Bit(std::strerror(errno))));
    QList<FolderEntry> entries;
    while (const dirent* entry = ::readdir(stream)) {
        const QByteArray raw(entry->d_name);
        if (raw == "." || raw == "..")
            continue;
        const QString name = QFile::decodeName(raw);
        entries.append({name, QFile::encodeName(name) == raw});
    }
    ::closedir(stream);
    return entries;
}

QByteArray accountHomeFolder()
{
    const struct passwd* user = ::getpwuid(::getuid());
    return user && user->pw_dir ? QByteArray(user->pw_dir) : QByteArray();
}

QStringList installedPlaces(const QString& installedBinFolder)
{
    return {installedBinFolder};
}
