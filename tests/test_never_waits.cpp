#include "emulator/virtual_display.h"
#include "support/controller_rig.h"
#include "support/database_test.h"
#include "support/heartbeat.h"
#include "support/silent_server.h"
#include "support/test_main.h"
#include "support/usual_display.h"
#include "support/verify_says.h"

#include <optional>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using Key = Settings::Key;

// The controller and its window while the outside world stalls (a database server that never
// answers, a display that stops reading, a drop entry that would block its reader): the window
// keeps its beat, and the messages that do not depend on the stalled part keep going. The
// database fixture gives the driver manager its drivers, FreeTDS among them.
[[maybe_unused]] constexpr const char* noFifo =
    "a Windows folder holds no FIFO, and no link to a device";

class TestNeverWaits : public DatabaseTest {
    Q_OBJECT

private:
    std::unique_ptr<ControllerRig> m_rig;

    // The window's longest gap while `count` more files (added to `lines`) are dropped and shown.
    qint64 paceShowing(int count, QStringList& lines)
    {
        Heartbeat heartbeat;
        lines += m_rig->dropNumbered(count);
        if (!QTest::qWaitFor(
                [&] { return m_rig->display.received() == usualDisplayMessages(lines); }, 10000))
            QTest::qFail("the baseline's files were not shown", __FILE__, __LINE__);
        return heartbeat.longestGapMs();
    }

private slots:
    void init()
    {
        m_rig = std::make_unique<ControllerRig>();
        m_rig->folder.settings().setText(Key::SegundosTimerDisplay, "0.1");
    }
    void cleanup() { m_rig.reset(); }

    // FreeTDS logs in to a server that takes the connection and says nothing: each login waits its
    // whole time-out, one at a time, the drop folder keeping its pace. A login hung up on fails,
    // the next tick tries again, and the person at the screen is told once while it fails alike.
    void silentDatabaseServer()
    {
        SilentServer server;
        RunningController& running = m_rig->startOnFiles();
        // The baseline: the same files with the database off.
        QStringList lines;
        const qint64 baselineMs = paceShowing(40, lines);

        const QString address = QString("127.0.0.1,%1").arg(server.port());
        running.controller().settings().setText(Key::SQL_Servidor, address);
        running.controller().settings().setLigaSQL(true);
        QTRY_COMPARE(server.connections(), 1);

        Heartbeat heartbeat;
        lines += m_rig->dropNumbered(40, 41);
        QTRY_COMPARE_WITH_TIMEOUT(m_rig->display.received(), usualDisplayMessages(lines), 10000);
        QCOMPARE(running.added(), lines);
        QCOMPARE(server.connections(), 1);
        QCOMPARE(running.connectionFailures(), QStringList());

        for (int login = 1; login <= 3; ++login) {
            QTRY_COMPARE(server.connections(), login);
            server.hangUp();
            QTRY_VERIFY_WITH_TIMEOUT(!running.connectionBoxText().isEmpty(), 10000);
        }
        QCOMPARE(running.connectionFailures().size(), 1);
        VERIFY_SAYS(running.connectionBoxText(), address);
        VERIFY_KEPT_PACE(heartbeat.longestGapMs(), baselineMs);

        // The last login let go, so that nothing is left waiting for it.
        running.controller().settings().setLigaSQL(false);
        QSignalSpy finished(&running.controller(), &Controller::pollingFinished);
        server.hangUp();
        QVERIFY(finished.wait(10000));
    }

    // A display that stops reading: the frame on its way is given up after the port's deadline and
    // put back, the window beating meanwhile; once the reader is back it arrives whole, once, after
    // whatever part of it had gone out. The baseline: the first frames, while the display reads.
    void stalledDisplay_interruptedFrameArrivesWholeOnce()
    {
        // Frames of 519 bytes, the widest lines. Each file waits for the one before to be shown:
        // the list then holds one long row at most, and the beat measures waits, not drawing.
        constexpr int width = 255;
        m_rig->folder.settings().setText(Key::NumLetras, QString::number(width));
        RunningController& running = m_rig->startOnFiles();
        QSignalSpy shown(&running.controller(), &Controller::messageShown);
        const auto gaveUp = [&] { return running.lblError().contains(m_rig->display.name()); };
        constexpr int readFrames = 6;
        std::optional<Heartbeat> baseline;
        qint64 baselineMs = 0;
        std::optional<Heartbeat> heartbeat;
        QList<QByteArray> sent;
        QList<QStringList> messages;
        for (int number = 1; number <= 400 && !gaveUp(); ++number) {
            const QString name = ControllerRig::numbered(number);
            const QString linha1 = name.leftJustified(width, u'.');
            const QString linha2 = QString(width, QChar(u'a' + number % 26));
            messages.append({linha1, linha2});
            sent.append(usualDisplayMessage(linha1.toLatin1(), linha2.toLatin1()));
            QVERIFY(m_rig->folder.drop(name + ".dsp", (linha1 + linha2).toLatin1()));
            QTRY_VERIFY_WITH_TIMEOUT(shown.count() == number || gaveUp(), 15000);
            if (number == 1) {
                baseline.emplace();
            } else if (number == readFrames) {
                baselineMs = baseline->longestGapMs();
                heartbeat.emplace();
                m_rig->display.hold();
            }
        }
        QVERIFY(gaveUp());
        m_rig->display.release();
        QVERIFY(heartbeat);
        VERIFY_KEPT_PACE(heartbeat->longestGapMs(), baselineMs);

        // The frame given up is the last one sent: the frames before it, whatever part of it had
        // gone out, then that frame whole.
        QTRY_VERIFY_WITH_TIMEOUT(m_rig->display.received().endsWith(sent.last()), 15000);
        const QByteArray received = m_rig->display.received();
        const QByteArray before = sent.mid(0, sent.size() - 1).join();
        QVERIFY(received.startsWith(before));
        const QByteArray partGone =
            received.mid(before.size(), received.size() - before.size() - sent.last().size());
        QVERIFY2(partGone.size() < sent.last().size() && sent.last().startsWith(partGone),
                 partGone.toHex(' ').constData());
        VirtualDisplay display;
        display.feed(received);
        QCOMPARE(QStringList({display.upperLine(), display.lowerLine()}), messages.last());
        QTRY_COMPARE(running.lblError(), QString());
        QCOMPARE(running.queued(), QStringList());
        VERIFY_KEPT_PACE(heartbeat->longestGapMs(), baselineMs);
    }

    // A drop entry linked to a FIFO would block its reader until a writer came: it is named and
    // passed over, the files around it taken. The baseline: as many files before the link is there.
    void dropEntryLinkedToAFifo()
    {
#ifdef Q_OS_UNIX
        RunningController& running = m_rig->startOnFiles();
        QStringList lines;
        const qint64 baselineMs = paceShowing(20, lines);

        const QString fifo = m_rig->folder.filePath("fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString link = QDir(m_rig->folder.dropFolder()).filePath("Mensagem 25b.dsp");
        QVERIFY(QFile::link(fifo, link));
        Heartbeat heartbeat;
        lines += m_rig->dropNumbered(20, 21);
        TRY_VERIFY_SAYS(running.lblError(), link);
        QTRY_COMPARE_WITH_TIMEOUT(m_rig->display.received(), usualDisplayMessages(lines), 10000);
        QCOMPARE(running.added(), lines);
        QVERIFY(QFileInfo(link).isSymLink());
        VERIFY_KEPT_PACE(heartbeat.longestGapMs(), baselineMs);
#else
        QSKIP(noFifo);
#endif
    }

    // A settings file that would block its reader, never end, or is no file: the window opens all
    // the same with the initial values, and the failure label names the file and what it is.
    void settingsFileThatNeverEnds_data()
    {
        QTest::addColumn<QString>("named");
        QTest::newRow("FIFO") << "FIFO";
        // Its size reads 0, and reading it never ends.
        QTest::newRow("link to /dev/zero") << "dispositivo";
        QTest::newRow("folder") << "pasta";
    }

    void settingsFileThatNeverEnds()
    {
        QFETCH(QString, named);
        const QString path = m_rig->folder.configPath();
#ifdef Q_OS_UNIX
        if (named == "FIFO")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (named == "dispositivo")
            QVERIFY(QFile::link("/dev/zero", path));
#else
        if (named != "pasta")
            QSKIP(noFifo);
#endif
        if (named == "pasta")
            QVERIFY(QDir().mkdir(path));
        RunningController running(m_rig->folder.path());
        QVERIFY(running.menu().isVisible());
        VERIFY_SAYS(running.lblError(), QDir::toNativeSeparators(path));
        VERIFY_SAYS(running.lblError(), named);
        const Settings initial;
        for (Key key : {Key::Porta, Key::NumLetras})
            QCOMPARE(running.controller().settings().text(key), initial.text(key));
    }
};

MOSTRELA_TEST_MAIN(TestNeverWaits)
#include "test_never_waits.moc"
