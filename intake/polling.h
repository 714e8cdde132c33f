#pragma once

#include "core/message_queue.h"
#include "intake/abrir_ligacao.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class Spool;
struct DropFile;
struct SourceSettings;

// What one polling tick took and met.
struct PollResult {
    // Why something could not be taken, empty after a clean tick. A connection that failed is
    // not here but in connectionFailure.
    QString error;
    // The tick ended at the database's connection (a blank server included).
    bool connectionFailed = false;
    std::optional<ConnectionFailure> connectionFailure;
    // How many messages each source gave; -1 when it was not read.
    int databaseMessages = -1;
    int dropFileMessages = -1;
};

// The polling tick of tmrVerifica: moves the waiting messages of the database, then of the drop
// folder, into the spool and deletes them from their source, naming each step through
// `caption`. A tick whose connection fails ends there. An entry that cannot be taken (a file or a
// row) delays only itself: every other message is still taken, and it is tried again next tick.
//
// It runs on the intake's thread: nothing here touches the window.
class Polling {
public:
    using Caption = std::function<void(const QString&)>;
    // Hands over messages taken, in order, each kept in the spool and deleted from its source:
    // the database's rows at once, the drop files a few hundred at a time.
    using Deliver = std::function<void(const QList<QueuedMessage>&)>;

    // The spool's entries of an earlier run whose deletion from their source may not have been
    // done: a file or a row still found there is deleted, not taken again.
    Polling(Spool& spool, const QList<QueuedMessage>& unfinished);

    PollResult poll(const SourceSettings& settings, const Caption& caption, const Deliver& deliver);

private:
    bool takeDatabaseMessages(const SourceSettings& settings, const Caption& caption,
                              const Deliver& deliver, PollResult& result, QStringList& problems);
    void takeDropFiles(const SourceSettings& settings, const Deliver& deliver, PollResult& result,
                       QStringList& problems);
    // Of a chunk of drop files, those an earlier run kept in the spool: deleted, not taken.
    void settleUnfinishedFiles(QList<DropFile>& files, QSet<quint64>& undeleted,
                               QStringList& problems);

    Spool& m_spool;
    QList<QueuedMessage> m_unfinishedRows;
    QList<QueuedMessage> m_unfinishedFiles;
    QStringList m_loggedProblems;
};
