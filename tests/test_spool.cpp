#include "spool/queue_feed.h"
#include "spool/spool.h"
#include "support/test_main.h"

// The spool across runs of the controller: each Spool object stands for one run over the folder.
class TestSpool : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    QString spoolFolder() const { return m_folder.filePath("fila"); }
    int files() const { return int(QDir(spoolFolder()).entryList(QDir::Files).size()); }
    static QStringList lines(const QList<QueuedMessage>& messages)
    {
        QStringList result;
        for (const QueuedMessage& message : messages)
            result << message.linha1;
        return result;
    }

private slots:
    void init() { QDir(spoolFolder()).removeRecursively(); }

    void entries_comeBackInOrderWithTheirOrigin_untilShown()
    {
        QList<QueuedMessage> batch{QueuedMessage("1", "um"), QueuedMessage("2", "dois"),
                                   QueuedMessage("3", "três")};
        batch[0].origin.numRegisto = 3000000000;
        batch[1].origin.dropFile = QStringLiteral("20261208101500-a.dsp");
        Spool first(spoolFolder());
        QVERIFY(first.write(batch).isEmpty());
        first.shown(batch[2].spoolId); // written by this run: no source delete pending
        QCOMPARE(files(), 2);

        Spool second(spoolFolder());
        const Spool::Entries kept = second.load();
        QVERIFY(kept.problem.isEmpty());
        QCOMPARE(lines(kept.waiting), QStringList({"um", "dois"}));
        QCOMPARE(kept.waiting[0].origin.numRegisto, 3000000000);
        QCOMPARE(kept.waiting[1].origin.dropFile, "20261208101500-a.dsp");

        // New entries follow the old ones.
        QList<QueuedMessage> more{QueuedMessage("4", "quatro")};
        second.write(more);
        QVERIFY(more[0].spoolId > kept.waiting[1].spoolId);
    }

    void shownBeforeItsSourceDelete_isNeitherShownAgainNorForgotten()
    {
        QList<QueuedMessage> batch{QueuedMessage("1", "um")};
        batch[0].origin.numRegisto = 7;
        Spool(spoolFolder()).write(batch);

        // The next run shows it before it has deleted the row, then ends.
        Spool second(spoolFolder());
        const quint64 id = second.load().waiting.first().spoolId;
        second.shown(id);

        // The run after it does not show it again, but still finishes its delete.
        Spool third(spoolFolder());
        const Spool::Entries kept = third.load();
        QVERIFY(kept.waiting.isEmpty());
        QCOMPARE(lines(kept.shown), QStringList({"um"}));
        QCOMPARE(kept.shown.first().origin.numRegisto, 7);
        third.sourceSettled(id);
        QCOMPARE(files(), 0);
    }

    // An entry keeps when its message was taken; one of an older spool, without that time,
    // counts as taken when its file was written.
    void takenTime_comesBack_orIsItsFileTime()
    {
        QList<QueuedMessage> batch{QueuedMessage("1", "um"), QueuedMessage("2", "dois")};
        batch[0].takenAt = 1700000000000;
        Spool(spoolFolder()).write(batch);
        QFile older(
            QDir(spoolFolder()).filePath(QDir(spoolFolder()).entryList(QDir::Files).last()));
        QVERIFY(older.open(QIODevice::ReadWrite | QIODevice::Unbuffered));
        QJsonObject entry = QJsonDocument::fromJson(older.readAll()).object();
        QCOMPARE(entry.take("tomada").toString().toLongLong(), batch[1].takenAt);
        older.resize(0);
        older.write(QJsonDocument(entry).toJson());
        const QDateTime hourAgo = QDateTime::currentDateTime().addSecs(-3600);
        QVERIFY(older.setFileTime(hourAgo, QFileDevice::FileModificationTime));

        const QList<QueuedMessage> kept = Spool(spoolFolder()).load().waiting;
        QCOMPARE(kept[0].takenAt, 1700000000000);
        QVERIFY(qAbs(kept[1].takenAt - hourAgo.toMSecsSinceEpoch()) < 1000);
    }

    void settledBeforeShown_isRemovedOnceShown()
    {
        QList<QueuedMessage> batch{QueuedMessage("1", "um")};
        batch[0].origin.dropFile = QStringLiteral("x.dsp");
        Spool(spoolFolder()).write(batch);
        Spool second(spoolFolder());
        const quint64 id = second.load().waiting.first().spoolId;
        second.sourceSettled(id);
        QCOMPARE(files(), 1);
        second.shown(id);
        QCOMPARE(files(), 0);
    }

    // A large spool is read a few entries at a time: together, the batches are what one read
    // gives, in order, the shown ones apart; entries written meanwhile come after all of them.
    void loadedInBatches_asInOneRead()
    {
        QList<QueuedMessage> batch;
        for (int number = 1; number <= 7; ++number) {
            batch << QueuedMessage(QString::number(number), QStringLiteral("linha %1").arg(number));
            batch.last().origin.numRegisto = number;
        }
        Spool(spoolFolder()).write(batch);
        Spool marking(spoolFolder());
        marking.load();
        marking.shown(batch[4].spoolId);

        Spool spool(spoolFolder());
        QStringList waiting;
        QStringList shown;
        QList<qsizetype> sizes;
        while (!spool.allLoaded()) {
            const Spool::Entries kept = spool.load(3);
            sizes << kept.waiting.size() + kept.shown.size();
            waiting << lines(kept.waiting);
            shown << lines(kept.shown);
            if (sizes.size() == 1) {
                QList<QueuedMessage> meanwhile{QueuedMessage("8")};
                QVERIFY(spool.write(meanwhile).isEmpty());
                QVERIFY(meanwhile[0].spoolId > batch.last().spoolId);
            }
        }
        QCOMPARE(sizes, QList<qsizetype>({3, 3, 1}));
        QCOMPARE(waiting,
                 QStringList({"linha 1", "linha 2", "linha 3", "linha 4", "linha 6", "linha 7"}));
        QCOMPARE(shown, QStringList({"linha 5"}));
    }

    // A queue holding a few leaves the rest on disk: taken one by one, the messages come in the
    // order given, each once, from memory or disk; batches given while some are on disk go after.
    void queueHoldingAFew_givesEveryMessageInOrder()
    {
        Spool spool(spoolFolder());
        MessageQueue queue;
        QueueFeed feed(queue, spool, 4);
        QStringList given; // numbered from 1, in the order given
        const auto give = [&](int count) {
            QList<QueuedMessage> batch;
            for (int added = 0; added < count; ++added) {
                given << QString::number(given.size() + 1);
                batch << QueuedMessage(given.last(), given.last());
            }
            QVERIFY(spool.write(batch).isEmpty());
            feed.enqueue(batch);
        };
        QStringList shown;
        const auto show = [&](int count) {
            for (int taken = 0; taken < count; ++taken) {
                feed.refill();
                const QueuedMessage message = queue.takeSelected();
                // Taken in this run, whether it waited in memory or on disk.
                QVERIFY(message.takenSteady);
                shown << message.linha1;
                spool.shown(message.spoolId);
            }
        };

        give(7);
        QCOMPARE(queue.count(), 4);
        QCOMPARE(feed.leftOnDisk(), qsizetype(3));
        QCOMPARE(feed.waiting(), qsizetype(7));
        show(2);
        give(2); // behind the three on disk
        QCOMPARE(queue.count(), 2);
        QCOMPARE(feed.waiting(), qsizetype(7));
        show(3);
        QCOMPARE(feed.leftOnDisk(), qsizetype(1));
        show(4);
        give(1); // to an empty queue with none on disk: held at once
        QCOMPARE(queue.count(), 1);
        show(1);

        QCOMPARE(shown, given);
        QCOMPARE(files(), 0);
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestSpool)
#include "test_spool.moc"
