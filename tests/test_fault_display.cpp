#include "support/controller_rig.h"
#include "support/test_main.h"
#include "support/usual_display.h"
#include "support/verify_says.h"

#include <QLabel>

using Key = Settings::Key;

// The display's cable pulled out while the controller runs on its own timers, and plugged back
// in at the same port.
class TestFaultDisplay : public QObject {
    Q_OBJECT
private slots:
    void unpluggedDisplay_messagesWaitAtTheTop_thenEachIsShownOnce()
    {
        ControllerRig rig;
        RunningController& running = rig.startOnFiles();

        QStringList lines = rig.dropNumbered(4);
        QTRY_VERIFY_WITH_TIMEOUT(
            rig.display.received().startsWith(usualDisplayMessages({lines.first()})), 10000);

        rig.display.unplug();
        lines += rig.dropNumbered(1, 5);
        QTRY_COMPARE(rig.folder.dropFilesLeft(), QStringList());
        TRY_VERIFY_SAYS(running.lblError(), rig.display.name());
        // Every message is either shown or waiting, the oldest waiting one selected at the top.
        const QStringList waiting = running.queued();
        const qsizetype shownCount = lines.size() - waiting.size();
        QCOMPARE(waiting, lines.mid(shownCount));
        QCOMPARE(rig.display.received(), usualDisplayMessages(lines.first(shownCount)));
        QCOMPARE(running.controller().queue().selectedRow(), std::optional<int>(0));

        rig.display.plugIn();
        lines += rig.dropNumbered(1, 6);
        QTRY_COMPARE_WITH_TIMEOUT(rig.display.received(), usualDisplayMessages(lines), 10000);
        QCOMPARE(running.queued(), QStringList());
        QCOMPARE(running.lblError(), QString());
    }

    // Settings the display cannot be driven with, typed while the controller runs: the message
    // waits at the top, nothing goes out, and the failure label names the setting.
    void unusableLineOrCodePage_messageWaitsAndTheLabelSaysWhy()
    {
        ControllerRig rig;
        rig.folder.settings().setText(Key::PortaDefinicoes, "9600,n,9,1");
        RunningController& running = rig.startOnFiles();
        const QStringList waiting{QStringLiteral("Café 2,50 €")};

        QVERIFY(rig.folder.drop("1.dsp", "Caf\xE9 2,50 \x80"));
        TRY_VERIFY_SAYS(running.lblError(), "\"9600,n,9,1\"");
        QTRY_COMPARE(running.queued(), waiting);

        rig.settings().setText(Key::PortaDefinicoes, "19200,e,8,1");
        rig.settings().setText(Key::PaginaCodigos, "1251");
        TRY_VERIFY_SAYS(running.lblError(), "\"1251\"");
        QTRY_COMPARE(running.queued(), waiting);
        QCOMPARE(rig.display.received(), QByteArray());

        rig.settings().setText(Key::PaginaCodigos, "858");
        QTRY_COMPARE_WITH_TIMEOUT(rig.display.received(),
                                  usualDisplayMessage("Caf\x82 2,50 \xD5", ""), 10000);
        QTRY_COMPARE(running.queued(), QStringList());
        QTRY_COMPARE(running.lblError(), QString());
    }

    // Messages wait however long the display cannot be reached. The write that finds it back shows
    // its own; those that waited with it, older than SegundosValidade, then leave queue and spool
    // unshown, a count logged and kept on the running page; what comes after is shown.
    void unpluggedDisplay_messagesTooOldWhenItIsBackLeaveQueueAndSpool()
    {
        static int dropped = 0;
        dropped = 0;
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
                if (text.contains("postas de lado"))
                    dropped += text.section(u' ', 0, 0).toInt();
            });
        ControllerRig rig;
        rig.folder.settings().setText(Key::SegundosValidade, "0.5 s");
        rig.display.unplug();
        RunningController& running = rig.startOnFiles();

        const QStringList old = rig.dropNumbered(3);
        // Each failed write puts the first back, added again: four take 0.6 s at 0.2 s a tick.
        QTRY_VERIFY(running.added().size() >= 7);
        QTRY_COMPARE(running.queued(), old);
        QCOMPARE(rig.folder.spoolEntries(), 3);
        QCOMPARE(dropped, 0);

        rig.display.plugIn();
        QVERIFY(rig.folder.drop("4.dsp", "Nova"));
        QTRY_COMPARE_WITH_TIMEOUT(rig.display.received(),
                                  usualDisplayMessages({old.first(), "Nova"}), 10000);
        QTRY_COMPARE(rig.folder.spoolEntries(), 0);
        QCOMPARE(dropped, 2);
        QTRY_COMPARE(child<QLabel>(running.menu(), "lblContagem")->text(),
                     "À espera: 0    Descartadas por antiguidade: 2");
        qInstallMessageHandler(previous);
    }
};

MOSTRELA_TEST_MAIN(TestFaultDisplay)
#include "test_fault_display.moc"
