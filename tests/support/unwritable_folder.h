#pragma once

#include <QString>
#include <sys/types.h>

// Makes a folder unwritable for this process while the object lives. Permission bits alone do
// not stop root, so a process running as root also takes the identity of an unprivileged user
// for that time.
class UnwritableFolder {
public:
    explicit UnwritableFolder(const QString& path);
    ~UnwritableFolder();
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;

private:
    QString m_path;
    uid_t m_formerUser;
};
