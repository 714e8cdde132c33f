#include "common/code_sequence.h"
#include "common/failure.h"
#include "display/cdisplay.h"
#include "display/serial_port.h"
#include "pseudo_terminal.h"

#include <QSerialPort>
#include <QtTest>

namespace {

const QString usualSettings = QStringLiteral("9600,n,8,1");

// A display on a pseudo-terminal, with no control codes unless a test sets them.
struct Rig {
    PseudoTerminal terminal;
    SerialPort port;
    cDisplay display;

    Rig()
    {
        display.ctrlInterface(&port);
        display.SetPortaComm(terminal.slavePath(), usualSettings);
    }

    QByteArray line(const QString& text, qint32 alignment, qint16 lineNumber = 1)
    {
        QString variable = text;
        display.Linha(variable, alignment, lineNumber);
        return terminal.take(1);
    }
};

} // namespace

class TestCDisplay : public QObject {
    Q_OBJECT
private slots:
    void usualCodes_giveTheKnownByteStream();
    void linha_alignsWithoutCutting_data();
    void linha_alignsWithoutCutting();
    void linha_foldsThenTrimsSpaces_data();
    void linha_foldsThenTrimsSpaces();
    void linha_usesLine2CodesForAnyNumberButOne();
    void initDisplayAndSendCommand_writeTheirBytes();
    void withoutPortOrBusy_outputSkipsButCommandsReport();
};

void TestCDisplay::usualCodes_giveTheKnownByteStream()
{
    Rig rig;
    rig.display.ConfigCLSChar(codeSequenceBytes(QStringLiteral("12")));
    rig.display.ConfigLinha1IniChar(codeSequenceBytes(QStringLiteral("27+81+65")));
    rig.display.ConfigLinha2IniChar(codeSequenceBytes(QStringLiteral("27+81+66")));
    rig.display.ConfigLinha1FimChar(codeSequenceBytes(QStringLiteral("13")));
    rig.display.ConfigLinha2FimChar(codeSequenceBytes(QStringLiteral("13")));

    // Each group is read before the next operation, and the port is closed after each.
    rig.display.CLSDisplay();
    QCOMPARE(rig.terminal.take(1), QByteArray("\x0C"));
    QVERIFY(!rig.port.isOpen());
    QCOMPARE(rig.line(QStringLiteral("Bom dia"), 0, 1),
             QByteArray("\x1B\x51\x41\x42\x6F\x6D\x20\x64\x69\x61\x0D"));
    QVERIFY(!rig.port.isOpen());
    QCOMPARE(rig.line(QStringLiteral("Café"), 0, 2),
             QByteArray("\x1B\x51\x42\x43\x61\x66\x65\x0D"));
    QVERIFY(!rig.port.isOpen());
    QVERIFY(rig.display.skippedFailure().isEmpty());
}

void TestCDisplay::linha_alignsWithoutCutting_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("written");
    const QString twenty(20, u'x');
    const QString long25(25, u'y');
    QTest::newRow("left") << 20 << 0 << "ABC" << QByteArray("ABC");
    QTest::newRow("right") << 20 << 1 << "ABC" << QByteArray(17, ' ') + "ABC";
    QTest::newRow("centre 8.5 to 8") << 20 << 2 << "ABC" << QByteArray(8, ' ') + "ABC";
    QTest::newRow("centre any value") << 20 << -3 << "ABC" << QByteArray(8, ' ') + "ABC";
    QTest::newRow("centre 1.5 to 2") << 5 << 2 << "AB" << QByteArray("  AB");
    QTest::newRow("centre 0.5 to 0") << 4 << 2 << "ABC" << QByteArray("ABC");
    QTest::newRow("centre 3.5 to 4") << 8 << 2 << "A" << QByteArray("    A");
    QTest::newRow("right full width") << 20 << 1 << twenty << twenty.toLatin1();
    QTest::newRow("centre too long") << 20 << 2 << long25 << long25.toLatin1();
    QTest::newRow("width 0 right") << 0 << 1 << "ABC" << QByteArray("ABC");
    QTest::newRow("width 0 centre") << 0 << 2 << "ABC" << QByteArray("ABC");
    QTest::newRow("negative width") << -5 << 1 << "ABC" << QByteArray("ABC");
}

void TestCDisplay::linha_alignsWithoutCutting()
{
    QFETCH(int, width);
    QFETCH(int, alignment);
    QFETCH(QString, text);
    QFETCH(QByteArray, written);
    Rig rig;
    rig.display.ConfigSetComprimentoLinha(static_cast<qint16>(width));
    QCOMPARE(rig.line(text, alignment), written);
}

void TestCDisplay::linha_foldsThenTrimsSpaces_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("fold then trim") << QStringLiteral("  Olá  ") << QByteArray("Ola");
    QTest::newRow("a circumflex stays") << QStringLiteral("Câmara") << QByteArray("C\xE2mara");
    QTest::newRow("every folded letter") << QStringLiteral("ÃãÇçÁáÀàÈèêÊÉéÌìÍíÙùÚúÓóÕõÔôÒò")
                                         << QByteArray("AaCcAaAaEeeEEeIiIiUuUuOoOoOoOo");
    QTest::newRow("others pass as code-page bytes")
        << QStringLiteral("ÂâÎîÛûÜüÑñªº€")
        << QByteArray("\xC2\xE2\xCE\xEE\xDB\xFB\xDC\xFC\xD1\xF1\xAA\xBA\x80");
    QTest::newRow("no code-page byte") << QStringLiteral("a→b") << QByteArray("a?b");
    QTest::newRow("only spaces trimmed") << QStringLiteral(" \tX\t ") << QByteArray("\tX\t");
    QTest::newRow("inner spaces stay") << QStringLiteral("a  b") << QByteArray("a  b");
}

void TestCDisplay::linha_foldsThenTrimsSpaces()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, written);
    Rig rig;
    QCOMPARE(rig.line(text, 0), written);
}

void TestCDisplay::linha_usesLine2CodesForAnyNumberButOne()
{
    Rig rig;
    rig.display.ConfigLinha1IniChar("<");
    rig.display.ConfigLinha1FimChar(">");
    rig.display.ConfigLinha2IniChar("[");
    rig.display.ConfigLinha2FimChar("]");
    QCOMPARE(rig.line(QStringLiteral("a"), 0, 1), QByteArray("<a>"));
    for (const qint16 other : {0, 2, 7, -1})
        QCOMPARE(rig.line(QStringLiteral("b"), 0, other), QByteArray("[b]"));
}

void TestCDisplay::initDisplayAndSendCommand_writeTheirBytes()
{
    Rig rig;
    rig.display.ConfigInitDisplayChar(codeSequenceBytes(QStringLiteral("27+64")));
    rig.display.InitDisplay();
    QCOMPARE(rig.terminal.take(2), QByteArray("\x1B\x40"));
    rig.display.SendCommand(QByteArray("\x1B\x00\xFF", 3));
    QCOMPARE(rig.terminal.take(3), QByteArray("\x1B\x00\xFF", 3));
    QVERIFY(!rig.port.isOpen());
}

void TestCDisplay::withoutPortOrBusy_outputSkipsButCommandsReport()
{
    cDisplay display;
    display.ConfigCLSChar("\x0C");
    display.SetPortaComm(QStringLiteral("1"), usualSettings);
    display.CLSDisplay();
    QString text = QStringLiteral("x");
    display.Linha(text, 0, 1);
    QVERIFY(!display.skippedFailure().isEmpty());
    QVERIFY_THROWS_EXCEPTION(Failure, display.SendCommand("x"));
    QVERIFY_THROWS_EXCEPTION(Failure, display.InitDisplay());

    // A busy port: the commands report it, and nothing reaches the line.
    Rig rig;
    QSerialPort holder(rig.terminal.slavePath());
    QVERIFY(holder.open(QIODevice::WriteOnly));
    QVERIFY_THROWS_EXCEPTION(Failure, rig.display.SendCommand("x"));
    QVERIFY_THROWS_EXCEPTION(Failure, rig.display.InitDisplay());
}

QTEST_GUILESS_MAIN(TestCDisplay)
#include "test_cdisplay.moc"
