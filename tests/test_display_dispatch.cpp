#include "app/settings.h"
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
    DisplayDispatch dispatch{settings, mscDisplay};

    Rig() { settings.setText(Key::Porta, terminal.slavePath()); }

    // Sends a message that differs from every other one in these tests and checks that it is
    // all that arrives, which shows that nothing was sent before it.
    void expectNothingSentBefore()
    {
        dispatch.LancaNoDisplay(QStringLiteral("marca"), QStringLiteral("fim"));
        QCOMPARE(terminal.take(usualDisplayMessage("marca", "fim").size()),
                 usualDisplayMessage("marca", "fim"));
    }
};

} // namespace

class TestDisplayDispatch : public QObject {
    Q_OBJECT
private slots:
    void firstMessageOfTwoEmptyLines_sendsNothing();
    void sameJoinedText_isSentOnce();
    void lines_areCutToTheWidthAndNeverPadded();
    void widthThatIsNotANumber_sendsTheCodesAlone();
    void codeSettings_areReadOnEveryCall();
};

void TestDisplayDispatch::firstMessageOfTwoEmptyLines_sendsNothing()
{
    Rig rig;
    rig.dispatch.LancaNoDisplay({}, {});
    rig.expectNothingSentBefore();
}

void TestDisplayDispatch::sameJoinedText_isSentOnce()
{
    Rig rig;
    rig.dispatch.LancaNoDisplay(QStringLiteral("A"), QStringLiteral("BC"));
    QCOMPARE(rig.terminal.take(usualDisplayMessage("A", "BC").size()),
             usualDisplayMessage("A", "BC"));
    rig.dispatch.LancaNoDisplay(QStringLiteral("A"), QStringLiteral("BC"));
    rig.dispatch.LancaNoDisplay(QStringLiteral("AB"), QStringLiteral("C"));
    // Compared as cut, not as folded: an accented message is not sent over and over.
    rig.expectNothingSentBefore();
    rig.dispatch.LancaNoDisplay(QStringLiteral(" Café "), QStringLiteral("Pão"));
    QCOMPARE(rig.terminal.take(usualDisplayMessage("Cafe", "Pao").size()),
             usualDisplayMessage("Cafe", "Pao"));
    rig.dispatch.LancaNoDisplay(QStringLiteral(" Café "), QStringLiteral("Pão"));
    rig.expectNothingSentBefore();
}

void TestDisplayDispatch::lines_areCutToTheWidthAndNeverPadded()
{
    Rig rig;
    const QString long25 = QStringLiteral("abcdefghijklmnopqrstuvwxy");
    rig.dispatch.LancaNoDisplay(long25, QStringLiteral("curta"));
    const QByteArray expected = usualDisplayMessage("abcdefghijklmnopqrst", "curta");
    QCOMPARE(rig.terminal.take(expected.size()), expected);

    rig.settings.setText(Key::NumLetras, QStringLiteral("3"));
    rig.dispatch.LancaNoDisplay(long25, QStringLiteral("curta"));
    QCOMPARE(rig.terminal.take(usualDisplayMessage("abc", "cur").size()),
             usualDisplayMessage("abc", "cur"));
}

void TestDisplayDispatch::widthThatIsNotANumber_sendsTheCodesAlone()
{
    Rig rig;
    rig.dispatch.LancaNoDisplay(QStringLiteral("antes"), QStringLiteral("disto"));
    QCOMPARE(rig.terminal.take(usualDisplayMessage("antes", "disto").size()),
             usualDisplayMessage("antes", "disto"));

    rig.settings.setText(Key::NumLetras, QStringLiteral("vinte"));
    rig.dispatch.LancaNoDisplay(QStringLiteral("Bom dia"), QStringLiteral("Cafe"));
    QCOMPARE(rig.terminal.take(usualDisplayMessage({}, {}).size()), usualDisplayMessage({}, {}));
    // Empty again, like the message before it: not sent.
    rig.dispatch.LancaNoDisplay(QStringLiteral("Outra"), QStringLiteral("coisa"));
    rig.settings.setText(Key::NumLetras, QStringLiteral("20"));
    rig.expectNothingSentBefore();
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
    rig.dispatch.LancaNoDisplay(QStringLiteral("um"), QStringLiteral("dois"));
    // The initialise code is configured but never sent.
    const QByteArray expected =
        QByteArray("\x1B\x40") + "\x1B\x41\x01\x02\x03" + "um" + "dois" + "\r\n";
    QCOMPARE(rig.terminal.take(expected.size()), expected);
}

QTEST_GUILESS_MAIN(TestDisplayDispatch)
#include "test_display_dispatch.moc"
