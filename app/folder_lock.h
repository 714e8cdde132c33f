#pragma once

#include <QLockFile>
#include <QString>

// Makes this the only controller on its folder, while the object lives: two controllers on one
// spool would number their entries alike and take each other's messages. A lock left by a
// controller that was killed is taken over, however old: a controller runs for days.
class FolderLock {
public:
    explicit FolderLock(const QString& lockFile);

    // Takes the lock. Returns an empty text, or why this controller must not run: which folder
    // and which process hold it. The refusal is logged too.
    QString take();

private:
    bool namesThisProcess() const;
    // Logs that the lock left by process `leftBy` (0: none was left) is now this controller's.
    void logTakeOver(qint64 leftBy) const;

    QLockFile m_lock;
};
