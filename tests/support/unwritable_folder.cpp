#include "support/unwritable_folder.h"

#include "support/unprivileged_user.h"

#include <QFile>
#include <unistd.h>

UnwritableFolder::UnwritableFolder(const QString& path) : m_path(path), m_formerUser(geteuid())
{
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                    QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    if (m_formerUser == 0 && seteuid(nobody) != 0)
        qFatal("could not take an unprivileged identity");
}

UnwritableFolder::~UnwritableFolder()
{
    if (m_formerUser == 0 && seteuid(0) != 0)
        qFatal("could not return to the former identity");
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
