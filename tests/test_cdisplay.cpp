#include "core/code_sequence.h"
#include "display/cdisplay.h"
#include "display/serial_port.h"
#include "support/pseudo_terminal.h"

#include <QtTest>

namespace {

const LineSettings usualSettings;

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

    QByteArray line(const QString& text, qint16 lineNumber = 1)
    {
        QString variable = text;
        display.Linha(variable, lineNumber);
        display.writeFrame();
        return terminal.take(1);
    }
};

} // namespace

class TestCDisplay : public QObject {
    Q_OBJECT
private slots:
    void usualCodes_giveTheKnownByteStream();
    void linha_foldsThenTrimsSpaces_data();
    void linha_foldsThenTrimsSpaces();
    void linha_usesLine2CodesForAnyNumberButOne();
    void withoutPort_outputSkipsAndReports();
};

void TestCDisplay::usualCodes_giveTheKnownByteStream()
{
    Rig rig;
    rig.display.ConfigCLSChar(codeSequenceBytes(QStringLiteral("12")));
    rig.display.ConfigLinha1IniChar(codeSequenceBytes(QStringLiteral("27+81+65")));
    rig.display.ConfigLinha2IniChar(codeSequenceBytes(QStringLiteral("27+81+66")));
    rig.display.ConfigLinha1FimChar(codeSequenceBytes(QStringLiteral("13")));
    rig.display.ConfigLinha2FimChar(codeSequenceBytes(QStringLiteral("13")));

    // Nothing goes out until the frame is written, whole, and the port is closed after it.
    rig.display.CLSDisplay();
    QString linha1 = QStringLiteral("Bom dia");
    QString linha2 = QStringLiteral("Café");
    rig.display.Linha(linha1, 1);
    rig.display.Linha(linha2, 2);
    QVERIFY(!rig.port.isOpen());
    QVERIFY(rig.display.writeFrame());
    QVERIFY(!rig.port.isOpen());
    const QByteArray frame("\x0C"
                           "\x1B\x51\x41\x42\x6F\x6D\x20\x64\x69\x61\x0D"
                           "\x1B\x51\x42\x43\x61\x66\x65\x0D");
    QCOMPARE(rig.terminal.take(frame.size()), frame);
    QVERIFY(rig.display.skippedFailure().isEmpty());
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
    QTest::newRow("control characters are blanks")
        << QStringLiteral(" \tX\rY\x1B ") << QByteArray("X Y");
    QTest::newRow("inner spaces stay") << QStringLiteral("a  b") << QByteArray("a  b");
}

void TestCDisplay::linha_foldsThenTrimsSpaces()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, written);
    Rig rig;
    QCOMPARE(rig.line(text), written);
}

void TestCDisplay::linha_usesLine2CodesForAnyNumberButOne()
{
    Rig rig;
    rig.display.ConfigLinha1IniChar("<");
    rig.display.ConfigLinha1FimChar(">");
    rig.display.ConfigLinha2IniChar("[");
    rig.display.ConfigLinha2FimChar("]");
    QCOMPARE(rig.line(QStringLiteral("a"), 1), QByteArray("<a>"));
    for (const qint16 other : {0, 2, 7, -1})
        QCOMPARE(rig.line(QStringLiteral("b"), other), QByteArray("[b]"));
}

void TestCDisplay::withoutPort_outputSkipsAndReports()
{
    cDisplay display;
    display.ConfigCLSChar("\x0C");
    display.SetPortaComm(QStringLiteral("1"), usualSettings);
    display.CLSDisplay();
    QString text = QStringLiteral("x");
    display.Linha(text, 1);
    QVERIFY(!display.writeFrame());
    QVERIFY(!display.skippedFailure().isEmpty());
}

QTEST_GUILESS_MAIN(TestCDisplay)
#include "test_cdisplay.moc"
