#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <utility>

// What the running page shows about the controller's state: the running frame's caption (the
// polling step under way), the failure label, and the queue's figures.
//
// The label shows the latest failure that still stands. Each handler reports the outcome of every
// run, and a clean run withdraws only its own earlier failure: a display that cannot be written
// is not hidden by a clean polling tick, nor a failing source by a clean display tick, nor a save
// that failed by either (it stands until the settings file is read or written again).
class Status : public QObject {
    Q_OBJECT
public:
    // Polling: the drop folder's step of the polling tick, and the spool it keeps messages in;
    // Database: the database's step, its connection included.
    enum class Handler { SettingsFile, Rotation, Polling, Database };

    static QString idleCaption() { return QStringLiteral("Em Execução"); }

    using QObject::QObject;

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);

    QString error() const { return m_error; }
    // The outcome of one run of a handler: its failure's description, or empty after a clean run.
    void setError(const QString& error, Handler handler);
    // The failure of `handler`'s last run while it stands, shown or not; empty after a clean run.
    QString standingError(Handler handler) const;

    // Messages waiting for the display: in the queue, and in the spool beyond it.
    qsizetype waiting() const { return m_waiting; }
    void setWaiting(qsizetype waiting);
    // Messages dropped as too old to show since the start.
    qsizetype dropped() const { return m_dropped; }
    void addDropped(qsizetype dropped);

signals:
    void captionChanged(const QString& caption);
    void errorChanged(const QString& error);
    void countsChanged(qsizetype waiting, qsizetype dropped);

private:
    QString m_caption = idleCaption();
    QString m_error;
    QList<std::pair<Handler, QString>> m_standing; // oldest first
    qsizetype m_waiting = 0;
    qsizetype m_dropped = 0;
};
