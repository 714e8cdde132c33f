#include "support/controller_rig.h"
#include "support/test_main.h"
#include "support/usual_display.h"

#include <QDir>
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
        rig.folder.settings().setLigaFicheiros(true);
        RunningController& running = rig.start();

        QStringList lines;
        for (int number = 1; number <= 6; ++number)
            lines.append(QStringLiteral("Mensagem %1").arg(number));
        for (int number = 1; number <= 4; ++number)
            QVERIFY(rig.folder.drop(QStringLiteral("%1.dsp").arg(number),
                                    lines.at(number - 1).toLatin1()));
        QTRY_VERIFY_WITH_TIMEOUT(
            rig.display.received().startsWith(usualDisplayMessages({lines.first()})), 10000);

        rig.display.unplug();
        QVERIFY(rig.folder.drop("5.dsp", lines.at(4).toLatin1()));
        QTRY_COMPARE(rig.folder.dropFilesLeft(), QStringList());
        QTRY_VERIFY2(running.lblError().contains(rig.display.name()),
                     qPrintable(running.lblError()));
        // Every message is either shown or waiting, the oldest waiting one selected at the top.
        const QStringList waiting = running.queued();
        const qsizetype shownCount = 5 - waiting.size();
        QCOMPARE(waiting, lines.mid(shownCount, waiting.size()));
        QCOMPARE(rig.display.received(), usualDisplayMessages(lines.first(shownCount)));
        QCOMPARE(running.controller().queue().selectedRow(), std::optional<int>(0));

        rig.display.plugIn();
        QVERIFY(rig.folder.drop("6.dsp", lines.at(5).toLatin1()));
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
        rig.folder.settings().setLigaFicheiros(true);
        RunningController& running = rig.start();
        Settings& settings = rig.settings();
        const QStringList waiting{QStringLiteral("Café 2,50 €")};

        QVERIFY(rig.folder.drop("1.dsp", "Caf\xE9 2,50 \x80"));
        QTRY_VERIFY2(running.lblError().contains("\"9600,n,9,1\""), qPrintable(running.lblError()));
        QTRY_COMPARE(running.queued(), waiting);

        settings.setText(Key::PortaDefinicoes, "19200,e,8,1");
        settings.setText(Key::PaginaCodigos, "1251");
        QTRY_VERIFY2(running.lblError().contains("\"1251\""), qPrintable(running.lblError()));
        QTRY_COMPARE(running.queued(), waiting);
        QCOMPARE(rig.display.received(), QByteArray());

        settings.setText(Key::PaginaCodigos, "858");
        QTRY_COMPARE_WITH_TIMEOUT(rig.display.received(),
                                  usualDisplayMessage("Caf\x82 2,50 \xD5", ""), 10000);
        QTRY_COMPARE(running.queued(), QStringList());
        QTRY_COMPARE(running.lblError(), QString());
    }

    // While the display cannot be reached, messages wait, however old. The write that finds it back
    // shows its own message; those that waited with it and are older than SegundosValidade then
    // leave the queue and the spool without being shown, a count logged and kept on the running
    // page; what comes after is shown.
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
        rig.folder.settings().setLigaFicheiros(true);
        rig.display.unplug();
        RunningController& running = rig.start();

        const QStringList old{QStringLiteral("Antiga 1"), QStringLiteral("Antiga 2"),
                              QStringLiteral("Antiga 3")};
        for (int number = 1; number <= 3; ++number)
            QVERIFY(rig.folder.drop(QStringLiteral("%1.dsp").arg(number),
                                    old.at(number - 1).toLatin1()));
        // Each failed write puts "Antiga 1" back, counted as added again: four of them take at
        // least 0.6 s at 0.2 s a tick.
        QTRY_VERIFY(running.added().size() >= 7);
        QTRY_COMPARE(running.queued(), old);
        const QDir spool(rig.folder.filePath("fila"));
        QCOMPARE(spool.entryList({"*.msg"}, QDir::Files).size(), 3);
        QCOMPARE(dropped, 0);

        rig.display.plugIn();
        QVERIFY(rig.folder.drop("4.dsp", "Nova"));
        QTRY_COMPARE_WITH_TIMEOUT(rig.display.received(),
                                  usualDisplayMessages({old.first(), "Nova"}), 10000);
        QTRY_COMPARE(spool.entryList({"*.msg"}, QDir::Files), QStringList());
        QCOMPARE(dropped, 2);
        // The running page counts them too.
        QTRY_COMPARE(child<QLabel>(running.menu(), "lblContagem")->text(),
                     "À espera: 0    Descartadas por antiguidade: 2");
        qInstallMessageHandler(previous);
    }
};

MOSTRELA_TEST_MAIN(TestFaultDisplay)
#include "test_fault_display.moc"
