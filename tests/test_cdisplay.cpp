#include "core/code_sequence.h"
#include "core/settings.h"
#include "core/settings_snapshots.h"
#include "core/text_encoding.h"
#include "display/cdisplay.h"
#include "display/display_dispatch.h"
#include "support/test_main.h"
#include "support/usual_display.h"

namespace {

using Key = Settings::Key;

// The bytes a display with no control codes unless a test sets them puts in its frame for a line.
QByteArray lineBytes(cDisplay& display, QString text, qint16 lineNumber = 1)
{
    const qsizetype before = display.frame().size();
    display.Linha(text, 0, lineNumber);
    return display.frame().mid(before);
}

// A message's frame as the dispatch builds it from the settings (the usual display's by default).
QByteArray messageFrame(const Settings& settings, const QString& linha1, const QString& linha2)
{
    return prepareMessage(displaySettings(settings), linha1, linha2).display.frame();
}

} // namespace

class TestCDisplay : public QObject {
    Q_OBJECT
private slots:
    void usualCodes_giveTheKnownByteStream()
    {
        cDisplay display;
        display.ConfigCLSChar(codeSequenceBytes("12"));
        display.ConfigLinha1IniChar(codeSequenceBytes("27+81+65"));
        display.ConfigLinha2IniChar(codeSequenceBytes("27+81+66"));
        display.ConfigLinha1FimChar(codeSequenceBytes("13"));
        display.ConfigLinha2FimChar(codeSequenceBytes("13"));

        display.CLSDisplay();
        lineBytes(display, "Bom dia");
        QString linha2 = QStringLiteral("Café");
        display.Linha(linha2, 0, 2);
        QCOMPARE(display.frame(), usualDisplayMessage("Bom dia", "Cafe"));
        QCOMPARE(linha2, "Cafe");
    }

    void linha_usesLine2CodesForAnyNumberButOne()
    {
        cDisplay display;
        display.ConfigLinha1IniChar("<");
        display.ConfigLinha1FimChar(">");
        display.ConfigLinha2IniChar("[");
        display.ConfigLinha2FimChar("]");
        QCOMPARE(lineBytes(display, "a", 1), QByteArray("<a>"));
        for (const qint16 other : {0, 2, 7, -1})
            QCOMPARE(lineBytes(display, "b", other), QByteArray("[b]"));
    }

    void linha_foldsTrimsAndAligns_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("alinhamento");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("fold then trim") << 20 << 0 << "  Olá  " << QByteArray("Ola");
        QTest::newRow("a circumflex stays") << 20 << 0 << "Câmara" << QByteArray("C\xE2mara");
        QTest::newRow("every folded letter") << 20 << 0 << "ÃãÇçÁáÀàÈèêÊÉéÌìÍíÙùÚúÓóÕõÔôÒò"
                                             << QByteArray("AaCcAaAaEeeEEeIiIiUuUuOoOoOoOo");
        QTest::newRow("others pass as code-page bytes")
            << 20 << 0 << "ÂâÎîÛûÜüÑñªº€"
            << QByteArray("\xC2\xE2\xCE\xEE\xDB\xFB\xDC\xFC\xD1\xF1\xAA\xBA\x80");
        QTest::newRow("no code-page byte") << 20 << 0 << "a→b" << QByteArray("a?b");
        QTest::newRow("control characters are blanks")
            << 20 << 0 << " \tX\rY\x1B " << QByteArray("X Y");
        QTest::newRow("inner spaces stay") << 20 << 0 << "a  b" << QByteArray("a  b");
        QTest::newRow("as it is") << 20 << 0 << "ABC" << QByteArray("ABC");
        QTest::newRow("right") << 20 << 1 << "ABC" << QByteArray(17, ' ') + "ABC";
        QTest::newRow("centred, 8.5 to 8") << 20 << 2 << "ABC" << QByteArray(8, ' ') + "ABC";
        QTest::newRow("centred, 1.5 to 2") << 6 << 7 << "ABC" << QByteArray("  ABC");
        QTest::newRow("centred, 0.5 to 0") << 4 << -1 << "ABC" << QByteArray("ABC");
        QTest::newRow("padded after trimming and folding")
            << 6 << 1 << "  Olá " << QByteArray("   Ola");
        QTest::newRow("as wide as the line") << 3 << 1 << "ABC" << QByteArray("ABC");
        QTest::newRow("wider than the line, not cut") << 3 << 2 << "ABCDE" << QByteArray("ABCDE");
        QTest::newRow("no width") << 0 << 1 << "ABC" << QByteArray("ABC");
    }

    void linha_foldsTrimsAndAligns()
    {
        QFETCH(int, width);
        QFETCH(int, alinhamento);
        QFETCH(QString, text);
        cDisplay display;
        display.ConfigSetComprimentoLinha(qint16(width));
        display.Linha(text, alinhamento, 1);
        QTEST(display.frame(), "written");
        // The caller's text is the line as shown, without the padding.
        QCOMPARE(text, decodeWindows1252(display.frame()).trimmed());
    }

    void initAndCommands_goInTheFrameWhereCalled()
    {
        cDisplay display;
        display.InitDisplay(); // no code configured: nothing
        display.ConfigInitDisplayChar(codeSequenceBytes("27+64"));
        display.ConfigCLSChar("\x0C");
        display.InitDisplay();
        display.SendCommand(QByteArray("\x1B\x00\xFF", 3));
        display.CLSDisplay();
        QCOMPARE(display.frame(), QByteArray("\x1B\x40\x1B\x00\xFF\x0C", 6));
    }

    void withoutPort_outputSkipsAndReports()
    {
        cDisplay display;
        display.ConfigCLSChar("\x0C");
        display.SetPortaComm(QStringLiteral("1"), LineSettings());
        display.CLSDisplay();
        lineBytes(display, "x");
        QVERIFY(!display.writeFrame());
        QVERIFY(!display.skippedFailure().isEmpty());
        QVERIFY(display.frame().isEmpty());
    }

    // The frame of a message as the dispatch prepares it.
    void lines_areCutToTheWidthAndNeverPadded()
    {
        Settings settings;
        const QString long25 = QStringLiteral("abcdefghijklmnopqrstuvwxy");
        QCOMPARE(messageFrame(settings, long25, "curta"),
                 usualDisplayMessage("abcdefghijklmnopqrst", "curta"));
        settings.setText(Key::NumLetras, "3");
        QCOMPARE(messageFrame(settings, long25, "curta"), usualDisplayMessage("abc", "cur"));
        const PreparedMessage message = prepareMessage(displaySettings(settings), long25, " curta");
        QCOMPARE(message.display.frame(), usualDisplayMessage("abc", "cu"));
        // Cut before trimming: a later message is compared with the lines as cut.
        QCOMPARE(message.cutLinha2, " cu");
        QCOMPARE(message.linha2, "cu");
    }

    void controlCharactersInText_goOutAsBlanks()
    {
        // ESC Q B inside a message would write its own line 2; CR and LF would move the cursor.
        const PreparedMessage message =
            prepareMessage(displaySettings(Settings()), "Preço\x1BQBx", "a\r\nb\x7F\tc\x01");
        QCOMPARE(message.linha1, "Preco QBx");
        QCOMPARE(message.display.frame(), usualDisplayMessage("Preco QBx", "a  b  c"));
    }

    void codeSettings_areReadOnEveryCall()
    {
        Settings settings;
        settings.setText(Key::Limpa, "300+2x7 + 64");
        settings.setText(Key::InitLinha1, "27++65+1+2+3+4");
        settings.setText(Key::FimLinha1, QString());
        settings.setText(Key::InitLinha2, QString(99, u' ') + "+27");
        settings.setText(Key::FimLinha2, "13+10");
        settings.setText(Key::InitMostrador, "27+64");
        // The initialise code is configured but never sent.
        QCOMPARE(messageFrame(settings, "um", "dois"),
                 QByteArray("\x1B\x40") + "\x1B\x41\x01\x02\x03" + "um" + "dois" + "\r\n");
    }

    void codePage_sendsTheTextInThatPage_data()
    {
        QTest::addColumn<QString>("paginaCodigos");
        QTest::addColumn<QByteArray>("linha1");
        QTest::addColumn<QByteArray>("linha2");
        // "Café 2,50 €" / "Pão à Ñ": what a page lacks is folded, or "?" if even that is not there.
        const auto row = [](const char* name, const QString& page, const char* linha1,
                            const char* linha2) {
            QTest::newRow(name) << page << QByteArray(linha1) << QByteArray(linha2);
        };
        row("empty folds", "", "Cafe 2,50 \x80", "Pao a \xD1");
        row("0 folds", "0", "Cafe 2,50 \x80", "Pao a \xD1");
        row("437", "437", "Caf\x82 2,50 ?", "Pao \x85 \xA5");
        row("850", "850", "Caf\x82 2,50 ?", "P\xC6o \x85 \xA5");
        row("858", " 858 ", "Caf\x82 2,50 \xD5", "P\xC6o \x85 \xA5");
        row("860", "860", "Caf\x82 2,50 ?", "P\x84o \x85 \xA5");
        row("1252", "1252", "Caf\xE9 2,50 \x80", "P\xE3o \xE0 \xD1");
    }

    void codePage_sendsTheTextInThatPage()
    {
        QFETCH(QString, paginaCodigos);
        QFETCH(QByteArray, linha1);
        QFETCH(QByteArray, linha2);
        Settings settings;
        settings.setText(Key::PaginaCodigos, paginaCodigos);
        const auto message = prepareMessage(displaySettings(settings), "Café 2,50 €", "Pão à Ñ");
        QVERIFY(message.failure.isEmpty());
        QCOMPARE(message.display.frame(), usualDisplayMessage(linha1, linha2));
        // The window's picture of the display shows what the display shows.
        QCOMPARE(message.linha1.size(), linha1.size());
        QCOMPARE(message.linha1.endsWith(u'?'), linha1.endsWith('?'));
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestCDisplay)
#include "test_cdisplay.moc"
