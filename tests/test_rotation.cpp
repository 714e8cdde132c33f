#include "core/message_queue.h"
#include "core/settings.h"
#include "core/settings_snapshots.h"
#include "core/status.h"
#include "rotation/display_writer.h"
#include "rotation/rotation.h"
#include "spool/queue_feed.h"
#include "spool/spool.h"
#include "support/display_rig.h"
#include "support/test_main.h"
#include "support/usual_display.h"

namespace {

using Key = Settings::Key;

// The rotation over the display rig; a test ticks it itself.
struct Rig : DisplayRig {
    QTemporaryDir folder;
    MessageQueue queue;
    Status status;
    DisplayWriter writer{nullptr, &port}; // on this thread: each tick writes before it returns
    Rotation rotation{queue, status, writer};
    // The rotation's feed, for a test that sets it: two messages in the queue, the rest on disk.
    Spool spool{folder.filePath("fila")};
    QueueFeed feed{queue, spool, 2};

    void tick() { rotation.tick(rotationSettings(settings), displaySettings(settings)); }
    void keepFor300s() { settings.setText(Key::SegundosValidade, "300"); }
    void add(const QString& linha1, const QString& linha2 = {})
    {
        queue.append({"ordem", linha1, linha2});
    }
    // Line 1 of every queued message, top first, the selected one marked with "*".
    QStringList queued() const
    {
        QStringList lines;
        for (int row = 0; row < queue.count(); ++row)
            lines << (queue.selectedRow() == row ? "*" : "") + queue.at(row).linha1;
        return lines;
    }
};

// A message taken `seconds` ago by the wall clock, in an earlier run.
QueuedMessage takenAgo(const QString& linha1, qint64 seconds,
                       qint64 now = QDateTime::currentMSecsSinceEpoch(), const QString& linha2 = {})
{
    QueuedMessage message(QString(), linha1, linha2);
    message.takenAt = now - seconds * 1000;
    return message;
}

// A Porta setting that names no port.
const QString missing = QStringLiteral("ttyNenhum");

} // namespace

class TestRotation : public QObject {
    Q_OBJECT
private slots:
    void tick_showsTheSelectedRowThenTheTop_data()
    {
        QTest::addColumn<int>("rows");          // "Linha 1" onwards, line 2 "x"
        QTest::addColumn<int>("selected");      // by hand; 0 as appended, -1 none
        QTest::addColumn<QStringList>("shown"); // line 1 of what each of two ticks shows
        QTest::addColumn<QStringList>("left");  // after the first tick
        const QStringList inOrder{"Linha 1", "Linha 2"};
        QTest::newRow("two rows, in order") << 2 << 0 << inOrder << QStringList{"*Linha 2"};
        QTest::newRow("a row picked by hand, then the top")
            << 5 << 2 << QStringList{"Linha 3", "Linha 1"}
            << QStringList{"*Linha 1", "Linha 2", "Linha 4", "Linha 5"};
        QTest::newRow("none selected: the top") << 2 << -1 << inOrder << QStringList{"*Linha 2"};
    }

    void tick_showsTheSelectedRowThenTheTop()
    {
        QFETCH(int, rows);
        QFETCH(int, selected);
        QFETCH(QStringList, shown);
        Rig rig;
        for (int row = 1; row <= rows; ++row)
            rig.add(QStringLiteral("Linha %1").arg(row), "x");
        if (selected < 0)
            rig.queue.clearSelection();
        else if (selected > 0)
            rig.queue.select(selected);
        rig.tick();
        rig.expect(shown.at(0).toLatin1(), "x");
        QTEST(rig.queued(), "left");
        rig.tick();
        rig.expect(shown.at(1).toLatin1(), "x");
        QCOMPARE(rig.queue.count(), rows - 2);
        QCOMPARE(rig.status.error(), QString());
    }

    // Only a write that reaches the display tells that it works again.
    void emptyQueueWithoutIdleText_sendsNothingAndLeavesTheDisplaysFailure()
    {
        Rig rig;
        for (const int unticked : {0, 2}) { // unticked or greyed
            rig.settings.setMostraDefault(unticked);
            rig.status.setError("falha antiga", Status::Handler::Rotation);
            rig.tick();
            QCOMPARE(rig.status.error(), "falha antiga");
        }
        rig.add("Depois", "disso");
        rig.tick();
        rig.expect("Depois", "disso"); // and nothing before it
        QCOMPARE(rig.status.error(), QString());
    }

    void idleText_replacesTheDateTimeKeywordOnlyWhenWhole()
    {
        Rig rig;
        rig.rotation.setClock([] { return QDateTime(QDate(2024, 12, 7), QTime(8, 5, 59)); });
        rig.settings.setMostraDefault(1);
        rig.settings.setText(Key::Default_Linha2, "#datahora#");
        rig.tick();
        rig.expect("Bem-vindo", "07 " + QLocale::system().monthName(12).toLatin1() + "  08:05");
        rig.settings.setText(Key::Default_Linha2, "Hoje #DataHora#");
        rig.tick();
        rig.expect("Bem-vindo", "Hoje #DataHora#");
    }

    void idleText_withEmptySecondLine()
    {
        Rig rig;
        rig.settings.setMostraDefault(1);
        rig.tick();
        rig.expect("Bem-vindo", "");
        rig.tick(); // the same idle text again: not sent twice
        rig.add("Venda", "3,50");
        rig.tick();
        rig.expect("Venda", "3,50");
    }

    void busyDisplay_isReportedAndGetsTheIdleTextBack()
    {
        Rig rig;
        rig.settings.setMostraDefault(1);
        rig.port.unplug();
        rig.tick();
        QVERIFY2(rig.status.error().contains(rig.port.name()), qPrintable(rig.status.error()));
        rig.port.plugIn();
        rig.tick();
        rig.expect("Bem-vindo", "");
        QCOMPARE(rig.status.error(), QString());
    }

    void missingDisplay_isReportedAndTheMessageWaitsAtTheTop()
    {
        Rig rig;
        rig.settings.setText(Key::Porta, missing);
        rig.add("Primeira");
        rig.add("Segunda");
        rig.add("Escolhida");
        rig.queue.select(2); // picked by hand
        const QStringList waiting{"*Escolhida", "Primeira", "Segunda"};
        rig.tick();
        QVERIFY2(rig.status.error().contains(missing), qPrintable(rig.status.error()));
        QCOMPARE(rig.queued(), waiting);
        rig.tick(); // still missing: nothing moves
        QCOMPARE(rig.queued(), waiting);

        rig.settings.setText(Key::Porta, rig.port.name());
        for (int tick = 0; tick < 3; ++tick)
            rig.tick();
        rig.expect(usualDisplayMessages({"Escolhida", "Primeira", "Segunda"}));
        QCOMPARE(rig.queued(), QStringList());
        QCOMPARE(rig.status.error(), QString());
    }

    // Two messages in the queue, the rest in the spool: the tick drops every one too old to show,
    // those read back in place of the dropped ones too, then shows the first that is not.
    void tooOldMessages_goBeforeTheTick_withThoseReadBackInTheirPlace()
    {
        Rig rig;
        rig.keepFor300s();
        connect(&rig.rotation, &Rotation::expired, &rig.rotation, [&] { rig.feed.refill(); });
        rig.rotation.setFeed(&rig.feed);
        QSignalSpy expired(&rig.rotation, &Rotation::expired);

        QList<QueuedMessage> batch;
        for (int number = 1; number <= 7; ++number)
            batch << takenAgo(QStringLiteral("Velha %1").arg(number), 3600);
        batch << QueuedMessage(QString(), "Nova", "1") << QueuedMessage(QString(), "Outra", "2");
        QVERIFY(rig.spool.write(batch).isEmpty());
        rig.feed.enqueue(batch);
        rig.tick();
        rig.expect("Nova", "1");
        QCOMPARE(rig.queued(), QStringList{"*Outra"});
        QCOMPARE(rig.feed.leftOnDisk(), qsizetype(0));
        qsizetype dropped = 0;
        for (const QList<QVariant>& signal : expired)
            dropped += signal.at(0).value<QList<quint64>>().size();
        QCOMPARE(dropped, qsizetype(7));
    }

    void tooOldMessages_leaveARowPickedByHandNext_orTheTopInPlaceOfOne()
    {
        Rig rig;
        rig.keepFor300s();
        for (const char* linha1 : {"Primeira", "Escolhida", "Segunda"}) {
            rig.add(linha1);
            rig.queue.append(takenAgo("Velha", 3600));
        }
        rig.queue.select(2);
        rig.tick();
        rig.expect("Escolhida", "");

        rig.queue.append(takenAgo("Velha", 3600));
        rig.queue.select(2);
        rig.tick();
        rig.expect("Primeira", "");
        QCOMPARE(rig.queued(), QStringList{"*Segunda"});
    }

    void age_countsOnlyWhereAMessageCouldBeStale_data()
    {
        QTest::addColumn<bool>("carriedOver");
        QTest::addColumn<bool>("writeFailed"); // while it waited
        QTest::addColumn<int>("steadyAge");    // seconds; for a message of this run
        QTest::addColumn<int>("wallAge");      // seconds by the wall clock, which may have jumped
        QTest::addColumn<int>("outage");       // seconds the failed display stays out, if it does
        QTest::addColumn<int>("later");        // seconds it waits more, once the display is back
        QTest::addColumn<bool>("dropped");

        QTest::newRow("healthy run, an hour in the queue")
            << false << false << 3600 << 3600 << 0 << 0 << false;
        QTest::newRow("failed write, 6 s old, clock put forward a day")
            << false << true << 6 << 86406 << 0 << 0 << false;
        QTest::newRow("failed write, 400 s old, clock put back an hour")
            << false << true << 400 << -3200 << 0 << 0 << true;
        QTest::newRow("failed write, 200 s old") << false << true << 200 << 200 << 0 << 0 << false;
        QTest::newRow("failed write, 200 s old, then 300 s behind a healthy display's backlog")
            << false << true << 200 << 200 << 0 << 300 << false;
        QTest::newRow("carried over, 200 s old") << true << false << 0 << 200 << 0 << 0 << false;
        QTest::newRow("carried over, 200 s old, then 300 s behind the rest of the backlog")
            << true << false << 0 << 200 << 0 << 300 << false;
        QTest::newRow("carried over, 400 s old") << true << false << 0 << 400 << 0 << 0 << true;
        QTest::newRow("carried over, taken in the future")
            << true << false << 0 << -3600 << 0 << 0 << true;
        QTest::newRow("carried over, 200 s old, 400 s when a failed display is back")
            << true << true << 0 << 200 << 200 << 0 << true;
    }

    // SegundosValidade (300 s here) drops only a message carried over from an earlier run, judged
    // by the wall clock, or one of this run that waited while a write failed, judged by the steady
    // clock whatever the wall clock does; each is judged once, when the display can show again.
    void age_countsOnlyWhereAMessageCouldBeStale()
    {
        QFETCH(bool, carriedOver);
        QFETCH(bool, writeFailed);
        QFETCH(int, steadyAge);
        QFETCH(int, wallAge);
        QFETCH(int, outage);
        QFETCH(int, later);
        QFETCH(bool, dropped);

        Rig rig;
        rig.keepFor300s();
        QDateTime wallNow(QDate(2026, 3, 2), QTime(9, 30));
        qint64 steadyNow = 50'000'000;
        rig.rotation.setClock([&] { return wallNow; });
        rig.rotation.setSteadyClock([&] { return steadyNow; });
        const auto wait = [&](int seconds) {
            wallNow = wallNow.addSecs(seconds);
            steadyNow += qint64(seconds) * 1000;
        };
        QueuedMessage message = takenAgo("Pão", wallAge, wallNow.toMSecsSinceEpoch(), "0,40");
        if (!carriedOver)
            message.takenSteady = steadyNow - qint64(steadyAge) * 1000;
        rig.add("Primeira"); // the write that finds the display working
        rig.queue.append(message);
        if (writeFailed) {
            rig.settings.setText(Key::Porta, missing);
            rig.tick();
            QCOMPARE(rig.queue.count(), 2);
            rig.settings.setText(Key::Porta, rig.port.name());
            wait(outage);
        }

        rig.tick();
        QCOMPARE(rig.status.dropped(), qsizetype(dropped ? 1 : 0));
        QCOMPARE(rig.queue.count(), dropped ? 0 : 1);
        wait(later);
        rig.tick();
        rig.add("marca");
        rig.tick();
        rig.expect(usualDisplayMessage("Primeira", "") +
                   (dropped ? QByteArray() : usualDisplayMessage("Pao", "0,40")) +
                   usualDisplayMessage("marca", ""));
        QCOMPARE(rig.status.dropped(), qsizetype(dropped ? 1 : 0));
    }

    // A spool beyond the queue's two messages, carried over: judged all at the first tick, those
    // on disk unread, and those kept are shown however long the backlog takes, read back or not.
    void carriedOver_judgedOnceAtTheStart_onDiskToo()
    {
        Rig rig;
        rig.keepFor300s();
        QDateTime wallNow = QDateTime::currentDateTime();
        rig.rotation.setClock([&] { return wallNow; });
        rig.rotation.setFeed(&rig.feed);

        QList<QueuedMessage> batch;
        for (const int age : {200, 201, 400, 250, 251})
            batch << takenAgo(QStringLiteral("%1 s").arg(age), age, wallNow.toMSecsSinceEpoch());
        QVERIFY(rig.spool.write(batch).isEmpty());
        rig.feed.enqueue(batch);
        QTest::ignoreMessage(QtInfoMsg,
                             QRegularExpression("^1 mensagens .*: tomadas há 400 segundos$"));
        for (int tick = 0; tick < 4; ++tick) {
            rig.feed.refill();
            rig.tick();
            wallNow = wallNow.addSecs(100);
        }
        rig.expect(usualDisplayMessages({"200 s", "201 s", "250 s", "251 s"}));
        QCOMPARE(rig.status.dropped(), qsizetype(1));
        QCOMPARE(rig.feed.waiting(), qsizetype(0));
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestRotation)
#include "test_rotation.moc"
