#include "app/file_save.h"

#include "core/failure.h"
#include "core/regular_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Deeper than this, links go round in a circle.
constexpr int deepestLink = 40;

// The file that `path` names, its links followed: where it will be when it does not exist yet.
QString linkedFile(const QString& path)
{
    QFileInfo info(path);
    for (int depth = 0; info.isSymLink() && depth < deepestLink; ++depth)
        info.setFile(info.symLinkTarget());
    return info.filePath();
}

Failure saveFailure(const QString& path, const QString& target, const QString& reason)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QString named = target == path ? QStringLiteral("\"%1\"").arg(shown)
                                         : QStringLiteral("\"%1\", ligação para \"%2\"")
                                               .arg(shown, QDir::toNativeSeparators(target));
    return Failure(QStringLiteral("Não foi possível gravar %1: %2").arg(named, reason));
}

#ifdef Q_OS_UNIX

void writeInPlace(const QString& path, const QString& target, const QByteArray& bytes)
{
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush())
        throw saveFailure(path, target, file.errorString());
}

// Gives the file being written the owner and the mode of the one it replaces; false when this
// process may not (only root may give a file away).
bool takeOver(int handle, const struct stat& former)
{
    struct stat now {};
    if (::fstat(handle, &now) != 0)
        return false;
    if ((now.st_uid != former.st_uid || now.st_gid != former.st_gid) &&
        ::fchown(handle, former.st_uid, former.st_gid) != 0)
        return false;
    const mode_t mode = former.st_mode & 07777;
    return (now.st_mode & 07777) == mode || ::fchmod(handle, mode) == 0;
}

#endif

} // namespace

QString saveFile(const QString& path, const QByteArray& bytes)
{
    const QString target = linkedFile(path);
    if (const QString refusal = notRegularFile(target); !refusal.isEmpty())
        throw saveFailure(path, target, refusal);
#ifdef Q_OS_UNIX
    struct stat former {};
    const bool existed = ::stat(QFile::encodeName(target).constData(), &former) == 0;
#else
    const bool existed = QFileInfo::exists(target);
#endif

    QSaveFile file(target);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        throw saveFailure(path, target, file.errorString());
    // Settled before a byte is written: the file holds the database password.
    if (!existed && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        throw saveFailure(path, target, file.errorString());
#ifdef Q_OS_UNIX
    if (existed && !takeOver(file.handle(), former)) {
        // Overwritten in place, the file keeps the owner that a new one could not be given.
        file.cancelWriting();
        writeInPlace(path, target, bytes);
        return target;
    }
#endif
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw saveFailure(path, target, file.errorString());
    return target;
}
