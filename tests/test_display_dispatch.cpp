#include "core/settings.h"
#include "core/settings_snapshots.h"
#include "display/display_dispatch.h"
#include "display/serial_port.h"
#include "pseudo_terminal.h"
#include "usual_display.h"

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
    void firstMessageOfTwoEmptyLines_sendsNothing();
    void sameTwoLines_areSentOnce();
    void lines_areCutToTheWidthAndNeverPadded();
    void widthThatIsNotANumber_sendsNothingAndSaysSo();
    void controlCharactersInText_goOutAsBlanks();
    void codeSettings_areReadOnEveryCall();
};

void TestDisplayDispatch::firstMessageOfTwoEmptyLines_sendsNothing()
{
    Rig rig;
    rig.send({}, {});
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

QTEST_GUILESS_MAIN(TestDisplayDispatch)
#include "test_display_dispatch.moc"
