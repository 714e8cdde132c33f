#pragma once

#include <QString>

// Makes a folder unwritable for this process while the object lives; as permission bits do not
// stop root, root also takes an unprivileged identity meanwhile. Under Wine a Windows program has
// the host user's rights (root's in CI) and no other identity: there unavailable() says so.
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
