#pragma once

#include <QFile>
#include <QStringList>
#include <optional>
#include <sys/types.h>

// Running the program as a user who is not root, where permission bits must stop it.

// The user nobody, and its group nogroup.
inline constexpr uid_t nobody = 65534;

// Every permission, for the folders and devices that such a user must reach.
inline constexpr QFile::Permissions everyone =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::WriteGroup |
    QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;

// The mode bits of a file alone, without what they mean for this process.
inline QFile::Permissions modeBits(const QString& path)
{
    return QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
}

// What to put before a program's path to run it as such a user: setpriv to nobody when this
// process is root, else nothing; none when it is root and setpriv or the user nobody is missing.
std::optional<QStringList> unprivilegedLauncher();
