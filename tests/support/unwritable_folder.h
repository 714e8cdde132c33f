#pragma once

#include <QString>

// Makes a folder unwritable for this process while the object lives. Permission bits alone do
// not stop root, so a process running as root also takes the identity of an unprivileged user
// for that time. A Windows program under Wine has no identity to take and only the host user's
// rights, which are root's in CI: there unavailable() says so, and the test skips.
class UnwritableFolder {
public:
    // Why no folder can be made unwritable here, or null where one can.
    static const char* unavailable();

    explicit UnwritableFolder(const QString& path);
    ~UnwritableFolder();
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;

private:
    QString m_path;
    bool m_wasRoot = false;
};
