#include "core/settings.h"
#include "core/settings_snapshots.h"
#include "core/worker_thread.h"
#include "display/cdisplay.h"
#include "display/display_dispatch.h"
#include "display/serial_port.h"
#include "rotation/display_writer.h"
#include "support/display_rig.h"
#include "support/test_main.h"
#include "support/usual_display.h"

#ifdef Q_OS_UNIX
#include "support/pseudo_terminal.h"
#endif

namespace {

using Key = Settings::Key;

struct Rig : DisplayRig {
    DisplayDispatch dispatch{port};

    // As each tick sends: with the settings of the moment.
    DisplayOutcome send(const QString& linha1, const QString& linha2)
    {
        return dispatch.LancaNoDisplay(displaySettings(settings), linha1, linha2);
    }
};

[[maybe_unused]] constexpr const char* realPortOnAPseudoTerminal =
    "the serial port's own line is read on a pseudo-terminal, which needs a Unix";

} // namespace

class TestDisplayDispatch : public QObject {
    Q_OBJECT
private slots:
    void frame_goesOutWholeBetweenOneOpenAndOneClose()
    {
#ifdef Q_OS_UNIX
        PseudoTerminal terminal;
        SerialPort port;
        cDisplay display;
        display.ctrlInterface(&port);
        display.SetPortaComm(terminal.slavePath(), LineSettings());
        display.ConfigCLSChar("\x0C");
        display.CLSDisplay();
        QString linha = QStringLiteral("Café");
        display.Linha(linha, 0, 1);
        // Nothing goes out until the frame is written, whole, and the port is closed after it.
        QVERIFY(!port.isOpen());
        QVERIFY(terminal.received().isEmpty());
        QVERIFY(display.writeFrame());
        QVERIFY(!port.isOpen());
        QCOMPARE(terminal.take(5), QByteArray("\x0C") + "Cafe");
        QVERIFY(display.skippedFailure().isEmpty());

        // The dispatch leaves no port open either.
        DisplayDispatch dispatch(port);
        Settings settings;
        settings.setText(Key::Porta, terminal.slavePath());
        QVERIFY(dispatch.LancaNoDisplay(displaySettings(settings), "a", {}).reached);
        QVERIFY(!port.isOpen());
        QCOMPARE(terminal.take(usualDisplayMessage("a", "").size()), usualDisplayMessage("a", ""));
#else
        QSKIP(realPortOnAPseudoTerminal);
#endif
    }

    // A blank message clears the display: the first of a run goes out, as the display may still
    // show the last run's message, then only once until the dispatch hears of another write.
    void firstMessageOfTwoEmptyLines_isSentOnce()
    {
        Rig rig;
        rig.send({}, {});
        rig.send({}, {});
        rig.expect("", "");
        rig.dispatch.forget();
        rig.send({}, {});
        rig.expect("", "");
    }

    void sameTwoLines_areSentOnce_data()
    {
        QTest::addColumn<QStringList>("sent"); // each message's lines, joined by "|"
        QTest::addColumn<QByteArray>("arrived");
        QTest::newRow("the same lines")
            << QStringList{"A|BC", "A|BC"} << usualDisplayMessage("A", "BC");
        // ("Total 1", "0,00") is not ("Total 10", ",00").
        QTest::newRow("the same text joined, other lines")
            << QStringList{"A|BC", "AB|C", "AB|C"}
            << usualDisplayMessage("A", "BC") + usualDisplayMessage("AB", "C");
        // Compared as cut, not as folded: an accented message is not sent over and over.
        QTest::newRow("accented") << QStringList{" Café |Pão", " Café |Pão"}
                                  << usualDisplayMessage("Cafe", "Pao");
    }

    void sameTwoLines_areSentOnce()
    {
        QFETCH(QStringList, sent);
        Rig rig;
        for (const QString& message : sent)
            rig.send(message.section(u'|', 0, 0), message.section(u'|', 1));
        QTEST(rig.port.take(), "arrived");
    }

    void widthThatIsNotANumber_sendsNothingAndSaysSo()
    {
        Rig rig;
        // Sent blank, the message would be lost: it is not sent, and must be tried again.
        rig.settings.setText(Key::NumLetras, "vinte");
        const DisplayOutcome outcome = rig.send("Bom dia", "Cafe");
        QVERIFY(!outcome.reached);
        QVERIFY2(outcome.failure.contains("\"vinte\""), qPrintable(outcome.failure));
        // A width read by its leading digits, as Mostrela.cfg's numbers are.
        rig.settings.setText(Key::NumLetras, "4 letras");
        rig.send("Bom dia", "Cafe");
        rig.expect("Bom", "Cafe");
    }

    void lineSettings_reachThePortAsSet_data()
    {
        QTest::addColumn<QString>("portaDefinicoes");
        QTest::addColumn<QString>("seen");
        // Speed, parity and stop bits as the pseudo-terminal keeps them: even parity is the
        // parity-enable flag alone, which it does not keep.
        const std::pair<const char*, const char*> lines[] = {
            {"9600,n,8,1", "9600,n,1"},      {"", "9600,n,1"},
            {"1200,o,7,1", "1200,o,1"},      {"2400,E,8,2", "2400,n,2"},
            {"4800,m,8,1", "4800,m,1"},      {"19200,s,7,2", "19200,s,2"},
            {"38400,O,8,2", "38400,o,2"},    {"57600,n,8,1", "57600,n,1"},
            {" 115200,n,8,2 ", "115200,n,2"}};
        for (const auto& [text, seen] : lines)
            QTest::addRow("\"%s\"", text) << QString::fromLatin1(text) << QString::fromLatin1(seen);
    }

    void lineSettings_reachThePortAsSet()
    {
        QFETCH(QString, portaDefinicoes);
        QFETCH(QString, seen);
#ifdef Q_OS_UNIX
        PseudoTerminal terminal;
        Settings settings;
        settings.setText(Key::Porta, terminal.slavePath());
        settings.setText(Key::PortaDefinicoes, portaDefinicoes);
        // On a thread of its own, as the controller runs it. The port is set on every open and put
        // back as it was on close, so it is looked at while the write waits on a held line.
        WorkerThread<DisplayWriter> display;
        DisplayWriter* writer = display.worker();
        QSignalSpy written(writer, &DisplayWriter::written);
        terminal.holdWriters();
        const DisplaySettings snapshot = displaySettings(settings);
        QMetaObject::invokeMethod(
            writer, [writer, snapshot] { writer->write(1, snapshot, "linha", QString(), 0); });

        QTRY_COMPARE(terminal.lineSettings(), seen);
        terminal.releaseWriters();
        const QByteArray message = usualDisplayMessage("linha", "");
        QCOMPARE(terminal.take(message.size()), message);
        QTRY_COMPARE(written.count(), 1);
        QVERIFY(written.at(0).at(1).value<DisplayOutcome>().reached);
#else
        QSKIP(realPortOnAPseudoTerminal);
#endif
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestDisplayDispatch)
#include "test_display_dispatch.moc"
