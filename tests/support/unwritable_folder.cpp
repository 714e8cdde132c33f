#include "support/unwritable_folder.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include "support/unprivileged_user.h"

#include <unistd.h>

const char* UnwritableFolder::unavailable()
{
    return nullptr;
}

UnwritableFolder::UnwritableFolder(const QString& path) : m_path(path), m_wasRoot(geteuid() == 0)
{
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                    QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    if (m_wasRoot && seteuid(nobody) != 0)
        qFatal("could not take an unprivileged identity");
}

UnwritableFolder::~UnwritableFolder()
{
    if (m_wasRoot && seteuid(0) != 0)
        qFatal("could not return to the former identity");
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
#else
const char* UnwritableFolder::unavailable()
{
    return "no folder can be made unwritable: Wine keeps the host user's rights alone, and a "
           "Windows program has no other identity to take";
}

UnwritableFolder::UnwritableFolder(const QString& path) : m_path(path)
{
    qFatal("%s", unavailable());
}

UnwritableFolder::~UnwritableFolder() = default;
#endif
