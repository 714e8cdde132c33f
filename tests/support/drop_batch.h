#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <memory>

// Drop files written beside the controller's drop folder, then renamed over it all at once so
// that one polling tick finds every one; counted out as the controller deletes them (inotify on
// their folder, which keeps watching it through the rename).
class DropBatch : public QObject {
    Q_OBJECT
public:
    // Writes `count` drop files numbered from `first`; throws Failure.
    DropBatch(const QString& dropFolder, int first, int count);
    ~DropBatch() override;

    int count() const { return m_count; }
    // Replaces the drop folder, which must be empty, with this batch's folder; throws Failure.
    void moveIntoPlace();
    // Whether the controller has taken every file, and how many it has taken so far.
    bool taken() const { return m_movedIn && takenCount() == m_count; }
    int takenCount() const;

signals:
    void filesTaken();

private:
    void readEvents();

    QString m_dropFolder;
    QString m_staging;
    int m_count;
    int m_left;
    bool m_movedIn = false;
    bool m_overflowed = false;
    int m_inotify = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
