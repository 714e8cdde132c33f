#include "app/file_save.h"

#include "core/failure.h"
#include "core/platform_files.h"
#include "core/regular_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

void writeInPlace(const QString& path, const QString& target, const QByteArray& bytes)
{
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush())
        throw saveFailure(path, target, file.errorString());
}

} // namespace

QString saveFile(const QString& path, const QByteArray& bytes)
{
    const QString target = linkedFile(path);
    if (const QString refusal = notRegularFile(target); !refusal.isEmpty())
        throw saveFailure(path, target, refusal);
    const std::optional<OwnerAndMode> former = ownerAndMode(target);

    QSaveFile file(target);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        throw saveFailure(path, target, file.errorString());
    // Settled before a byte is written: the file holds the database password.
    if (!former && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        throw saveFailure(path, target, file.errorString());
    if (former && !giveOwnerAndMode(file.handle(), *former)) {
        // Overwritten in place, the file keeps the owner that a new one could not be given.
        file.cancelWriting();
        writeInPlace(path, target, bytes);
        return target;
    }
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw saveFailure(path, target, file.errorString());
    return target;
}
