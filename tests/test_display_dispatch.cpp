#include "core/settings.h"
#include "core/settings_snapshots.h"
#include "core/worker_thread.h"
#include "display/display_dispatch.h"
#include "display/display_writer.h"
#include "display/serial_port.h"
#include "support/pseudo_terminal.h"
#include "support/usual_display.h"

#include <QtTest>

namespace {

using Key = Settings::Key;

struct Rig {
    PseudoTerminal terminal;
    Settings settings; // the usual display's codes and width
    SerialPort mscDisplay;
    DisplayDispatch dispatch{mscDisplay};

    Rig() { settings.setText(Key::Porta, terminal.slavePath()); }

    // As each tick sends: with the settings of the moment.
    void send(const QString& linha1, const QString& linha2)
    {
        dispatch.LancaNoDisplay(displaySettings(settings), linha1, linha2);
    }

    // Sends a message that differs from every other one in these tests and checks that it is
    // all that arrives, which shows that nothing was sent before it.
    void expectNothingSentBefore()
    {
        send(QStringLiteral("marca"), QStringLiteral("fim"));
        QCOMPARE(terminal.take(usualDisplayMessage("marca", "fim").size()),
                 usualDisplayMessage("marca", "fim"));
    }
};

} // namespace

class TestDisplayDispatch : public QObject {
    Q_OBJECT
private slots:
    void firstMessageOfTwoEmptyLines_isSentOnce();
    void sameTwoLines_areSentOnce();
    void lines_areCutToTheWidthAndNeverPadded();
    void widthThatIsNotANumber_sendsNothingAndSaysSo();
    void controlCharactersInText_goOutAsBlanks();
    void codeSettings_areReadOnEveryCall();
    void lineSettings_reachThePortAsSet_data();
    void lineSettings_reachThePortAsSet();
    void codePage_sendsTheTextInThatPage_data();
    void codePage_sendsTheTextInThatPage();
};

// A sales program clears the display with a blank message: the first of a run goes out too, as
// the display may still show a message of the run before. Then only once, until the dispatch is
// told that something else was written.
void TestDisplayDispatch::firstMessageOfTwoEmptyLines_isSentOnce()
{
    Rig rig;
    rig.send({}, {});
    QCOMPARE(rig.terminal.take(usualDisplayMessage("", "").size()), usualDisplayMessage("", ""));
    rig.send({}, {});
    rig.expectNothingSentBefore();
    rig.dispatch.forget();
    rig.expectNothingSentBefore();
}

void TestDisplayDispatch::sameTwoLines_areSentOnce()
{
    Rig rig;
    rig.send(QStringLiteral("A"), QStringLiteral("BC"));
    QCOMPARE(rig.terminal.take(usualDisplayMessage("A", "BC").size()),
             usualDisplayMessage("A", "BC"));
    rig.send(QStringLiteral("A"), QStringLiteral("BC"));
    // The same text joined, but other lines: ("Total 1", "0,00") is not ("Total 10", ",00").
    rig.send(QStringLiteral("AB"), QStringLiteral("C"));
    QCOMPARE(rig.terminal.take(usualDisplayMessage("AB", "C").size()),
             usualDisplayMessage("AB", "C"));
    rig.send(QStringLiteral("AB"), QStringLiteral("C"));
    // Compared as cut, not as folded: an accented message is not sent over and over.
    rig.expectNothingSentBefore();
    rig.send(QStringLiteral(" Café "), QStringLiteral("Pão"));
    QCOMPARE(rig.terminal.take(usualDisplayMessage("Cafe", "Pao").size()),
             usualDisplayMessage("Cafe", "Pao"));
    rig.send(QStringLiteral(" Café "), QStringLiteral("Pão"));
    rig.expectNothingSentBefore();
}

void TestDisplayDispatch::lines_areCutToTheWidthAndNeverPadded()
{
    Rig rig;
    const QString long25 = QStringLiteral("abcdefghijklmnopqrstuvwxy");
    rig.send(long25, QStringLiteral("curta"));
    const QByteArray expected = usualDisplayMessage("abcdefghijklmnopqrst", "curta");
    QCOMPARE(rig.terminal.take(expected.size()), expected);

    rig.settings.setText(Key::NumLetras, QStringLiteral("3"));
    rig.send(long25, QStringLiteral("curta"));
    QCOMPARE(rig.terminal.take(usualDisplayMessage("abc", "cur").size()),
             usualDisplayMessage("abc", "cur"));
}

void TestDisplayDispatch::widthThatIsNotANumber_sendsNothingAndSaysSo()
{
    Rig rig;
    rig.send(QStringLiteral("antes"), QStringLiteral("disto"));
    QCOMPARE(rig.terminal.take(usualDisplayMessage("antes", "disto").size()),
             usualDisplayMessage("antes", "disto"));

    // Sent blank, the message would be lost: it is not sent, and must be tried again.
    rig.settings.setText(Key::NumLetras, QStringLiteral("vinte"));
    const DisplayOutcome outcome = rig.dispatch.LancaNoDisplay(
        displaySettings(rig.settings), QStringLiteral("Bom dia"), QStringLiteral("Cafe"));
    QVERIFY(!outcome.reached);
    QVERIFY2(outcome.failure.contains(QStringLiteral("\"vinte\"")), qPrintable(outcome.failure));
    // A width read by its leading digits, as Mostrela.cfg's numbers are.
    rig.settings.setText(Key::NumLetras, QStringLiteral("4 letras"));
    rig.send(QStringLiteral("Bom dia"), QStringLiteral("Cafe"));
    QCOMPARE(rig.terminal.take(usualDisplayMessage("Bom", "Cafe").size()),
             usualDisplayMessage("Bom", "Cafe"));
    rig.settings.setText(Key::NumLetras, QStringLiteral("20"));
    rig.expectNothingSentBefore();
}

void TestDisplayDispatch::controlCharactersInText_goOutAsBlanks()
{
    Rig rig;
    // ESC Q B inside a message would write its own line 2; CR and LF would move the cursor.
    const DisplayOutcome outcome =
        rig.dispatch.LancaNoDisplay(displaySettings(rig.settings), QStringLiteral("Preço\x1BQBx"),
                                    QStringLiteral("a\r\nb\x7F\tc\x01"));
    QVERIFY(outcome.reached);
    QCOMPARE(outcome.linha1, QStringLiteral("Preco QBx"));
    QCOMPARE(rig.terminal.take(usualDisplayMessage("Preco QBx", "a  b  c").size()),
             usualDisplayMessage("Preco QBx", "a  b  c"));
}

void TestDisplayDispatch::codeSettings_areReadOnEveryCall()
{
    Rig rig;
    rig.settings.setText(Key::Limpa, QStringLiteral("300+2x7 + 64"));
    rig.settings.setText(Key::InitLinha1, QStringLiteral("27++65+1+2+3+4"));
    rig.settings.setText(Key::FimLinha1, QString());
    rig.settings.setText(Key::InitLinha2, QString(99, u' ') + QStringLiteral("+27"));
    rig.settings.setText(Key::FimLinha2, QStringLiteral("13+10"));
    rig.settings.setText(Key::InitMostrador, QStringLiteral("27+64"));
    rig.send(QStringLiteral("um"), QStringLiteral("dois"));
    // The initialise code is configured but never sent.
    const QByteArray expected =
        QByteArray("\x1B\x40") + "\x1B\x41\x01\x02\x03" + "um" + "dois" + "\r\n";
    QCOMPARE(rig.terminal.take(expected.size()), expected);
}

void TestDisplayDispatch::lineSettings_reachThePortAsSet_data()
{
    QTest::addColumn<QString>("portaDefinicoes");
    QTest::addColumn<QString>("seen");
    // Speed, parity and stop bits as the pseudo-terminal keeps them: even parity is the
    // parity-enable flag alone, which it does not keep.
    const std::pair<const char*, const char*> lines[] = {
        {"9600,n,8,1", "9600,n,1"},       {"", "9600,n,1"},
        {"1200,o,7,1", "1200,o,1"},       {"2400,E,8,2", "2400,n,2"},
        {"4800,m,8,1", "4800,m,1"},       {"19200,s,7,2", "19200,s,2"},
        {"38400,O,8,2", "38400,o,2"},     {"57600,n,8,1", "57600,n,1"},
        {" 115200,n,8,2 ", "115200,n,2"},
    };
    for (const auto& [text, seen] : lines)
        QTest::newRow(qPrintable(u'"' + QString::fromLatin1(text) + u'"'))
            << QString::fromLatin1(text) << QString::fromLatin1(seen);
}

void TestDisplayDispatch::lineSettings_reachThePortAsSet()
{
    QFETCH(QString, portaDefinicoes);
    QFETCH(QString, seen);
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
    QMetaObject::invokeMethod(writer, [writer, snapshot] {
        writer->write(1, snapshot, QStringLiteral("linha"), QString(), 0);
    });

    QTRY_COMPARE(terminal.lineSettings(), seen);
    terminal.releaseWriters();
    const QByteArray message = usualDisplayMessage("linha", "");
    QCOMPARE(terminal.take(message.size()), message);
    QTRY_COMPARE(written.count(), 1);
    QVERIFY(written.at(0).at(1).value<DisplayOutcome>().reached);
}

void TestDisplayDispatch::codePage_sendsTheTextInThatPage_data()
{
    QTest::addColumn<QString>("paginaCodigos");
    QTest::addColumn<QByteArray>("linha1");
    QTest::addColumn<QByteArray>("linha2");
    // The text "Café 2,50 €" / "Pão à Ñ": what a page lacks is folded, and "?" if even that is
    // not there.
    QTest::newRow("empty folds") << "" << QByteArray("Cafe 2,50 \x80") << QByteArray("Pao a \xD1");
    QTest::newRow("0 folds") << "0" << QByteArray("Cafe 2,50 \x80") << QByteArray("Pao a \xD1");
    QTest::newRow("437") << "437" << QByteArray("Caf\x82 2,50 ?") << QByteArray("Pao \x85 \xA5");
    QTest::newRow("850") << "850" << QByteArray("Caf\x82 2,50 ?") << QByteArray("P\xC6o \x85 \xA5");
    QTest::newRow("858") << " 858 " << QByteArray("Caf\x82 2,50 \xD5")
                         << QByteArray("P\xC6o \x85 \xA5");
    QTest::newRow("860") << "860" << QByteArray("Caf\x82 2,50 ?") << QByteArray("P\x84o \x85 \xA5");
    QTest::newRow("1252") << "1252" << QByteArray("Caf\xE9 2,50 \x80")
                          << QByteArray("P\xE3o \xE0 \xD1");
}

void TestDisplayDispatch::codePage_sendsTheTextInThatPage()
{
    QFETCH(QString, paginaCodigos);
    QFETCH(QByteArray, linha1);
    QFETCH(QByteArray, linha2);
    Rig rig;
    rig.settings.setText(Key::PaginaCodigos, paginaCodigos);
    const DisplayOutcome outcome = rig.dispatch.LancaNoDisplay(
        displaySettings(rig.settings), QStringLiteral("Café 2,50 €"), QStringLiteral("Pão à Ñ"));
    QVERIFY(outcome.reached);
    QCOMPARE(rig.terminal.take(usualDisplayMessage(linha1, linha2).size()),
             usualDisplayMessage(linha1, linha2));
    // The window's picture of the display shows what the display shows.
    QCOMPARE(outcome.linha1.size(), linha1.size());
    QCOMPARE(outcome.linha1.endsWith(u'?'), linha1.endsWith('?'));
}

QTEST_GUILESS_MAIN(TestDisplayDispatch)
#include "test_display_dispatch.moc"
