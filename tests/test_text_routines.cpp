#include "core/code_page_tables.h"
#include "core/failure.h"
#include "core/numbers.h"
#include "core/text_encoding.h"
#include "core/text_fields.h"
#include "support/test_main.h"

class TestTextRoutines : public QObject {
    Q_OBJECT
private slots:
    void separaCampos_splitsAndTrimsEveryField()
    {
        QFETCH(QString, text);
        QFETCH(QString, separator);
        QStringList fields{"stale"};
        QTEST(SeparaCampos(text, separator, fields), "splits");
        QTEST(fields, "expected");
    }

    void separaCampos_splitsAndTrimsEveryField_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<bool>("splits");
        const auto row = [](const char* name, const QString& text, const QStringList& expected,
                            const QString& separator = "\r\n", bool splits = true) {
            QTest::newRow(name) << text << expected << separator << splits;
        };
        row("no separator gives the trimmed text", "  abc  ", {"abc"});
        row("empty text gives one empty field", "", {""});
        row("trailing separator gives an empty last field", "a=1\r\nb=2\r\n", {"a=1", "b=2", ""});
        row("every field trimmed of spaces only", " a \r\n\tb\t \r\nc", {"a", "\tb\t", "c"});
        row("separator trimmed of blanks first", "a;b", {"a", "b"}, " ; ");
        row("occurrences do not overlap", "xaaay", {"x", "ay"}, "aa");
        row("blank separator leaves the fields untouched", "a b", {"stale"}, "   ", false);
    }

    void separaCampos_refusesMoreThan32767Separators()
    {
        const QString most = QStringLiteral("x\r\n").repeated(32767);
        QStringList fields;
        QVERIFY(SeparaCampos(most, "\r\n", fields));
        QCOMPARE(fields.size(), 32768);
        QVERIFY_THROWS_EXCEPTION(Failure, SeparaCampos(most + "x\r\n", "\r\n", fields));
    }

    void valorDaLinha_takesTextAfterLastEquals()
    {
        QCOMPARE(ValorDaLinha("Porta=3"), "3");
        QCOMPARE(ValorDaLinha("Default_Linha1=a=b"), "b");
        QCOMPARE(ValorDaLinha("Porta="), QString());
        QCOMPARE(ValorDaLinha("no equals here"), "no equals here");
    }

    void valorDaLinha_refusesOverlongLine()
    {
        const QString longest = QStringLiteral("K=") + QString(32765, u'v');
        QCOMPARE(ValorDaLinha(longest).size(), 32765);
        QVERIFY_THROWS_EXCEPTION(Failure, ValorDaLinha(longest + u'v'));
    }

    void leadingNumber_readsLeniently_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("integer") << "20" << 20.0;
        QTest::newRow("decimal point") << "0.5" << 0.5;
        QTest::newRow("comma ends the number") << "1,5" << 1.0;
        QTest::newRow("leading blanks skipped") << "  \t7" << 7.0;
        QTest::newRow("sign") << "-3abc" << -3.0;
        QTest::newRow("trailing text ignored") << "12 segundos" << 12.0;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("lone point") << "." << 0.0;
        QTest::newRow("point without integer part") << ".25" << 0.25;
    }

    void leadingNumber_readsLeniently()
    {
        QFETCH(QString, text);
        QTEST(leadingNumber(text), "expected");
    }

    void strictNumber_wantsTheWholeText()
    {
        QCOMPARE(strictNumber(" 3 "), std::optional<double>(3.0));
        QCOMPARE(strictNumber("3.5"), std::optional<double>(3.5));
        QVERIFY(!strictNumber("3x"));
        QVERIFY(!strictNumber(QString()));
        QCOMPARE(toInt16("2.5"), qint16(2));
        QCOMPARE(toInt16("3.5"), qint16(4));
        QVERIFY_THROWS_EXCEPTION(Failure, toInt16("abc"));
        QVERIFY_THROWS_EXCEPTION(Failure, toInt16("40000"));
    }

    void roundHalfEven_goesToEvenNeighbourAndChecksRange()
    {
        QCOMPARE((QList<qint64>{roundHalfEven(0.5, 0, 10), roundHalfEven(1.5, 0, 10),
                                roundHalfEven(2.5, 0, 10), roundHalfEven(3.5, 0, 10)}),
                 (QList<qint64>{0, 2, 2, 4}));
        QCOMPARE(roundHalfEven(-2.5, -10, 10), -2);
        QVERIFY_THROWS_EXCEPTION(Failure, roundHalfEven(10.6, 0, 10));
        QVERIFY_THROWS_EXCEPTION(Failure, roundHalfEven(qInf(), 0, 10));
    }

    void millisecondsFromSeconds_roundsAndOverflows()
    {
        QCOMPARE(millisecondsFromSeconds("2.5"), 2500);
        QCOMPARE(millisecondsFromSeconds("1,5"), 1000);
        QCOMPARE(millisecondsFromSeconds("0.0005"), 0);
        QCOMPARE(millisecondsFromSeconds("0.0015"), 2);
        QCOMPARE(millisecondsFromSeconds(""), 0);
        QVERIFY_THROWS_EXCEPTION(Failure, millisecondsFromSeconds("99999999999"));
    }

    void decodeFileText_choosesEncoding()
    {
        QCOMPARE(decodeFileText(QByteArray("Caf\xe9 \x80")), "Café €");
        QCOMPARE(decodeFileText(QByteArray("Caf\xc3\xa9")), "Café");
        QCOMPARE(decodeFileText(QByteArray("\xef\xbb\xbfplain")), "plain");
        // Invalid UTF-8 (a lone lead byte) is Windows-1252.
        QCOMPARE(decodeFileText(QByteArray("\xc3 x")), "Ã x");
        // UTF-16 by its byte-order mark, either way round, a letter beyond the first plane too.
        QCOMPARE(decodeFileText(QByteArray("\xff\xfe\xe9\0\xac\x20\x3d\xd8\x00\xde", 10)), "é€😀");
        QCOMPARE(decodeFileText(QByteArray("\xfe\xff\0\xe9\x20\xac\xd8\x3d\xde\x00", 10)), "é€😀");
    }

    void lineEndings_allBecomeCrLf()
    {
        QCOMPARE(withCrLfLineEndings("a\r\nb\nc\rd\r"), "a\r\nb\r\nc\r\nd\r\n");
        QCOMPARE(withCrLfLineEndings("\n\r"), "\r\n\r\n");
    }

    void encodeWindows1252_replacesUnmappableWithQuestionMark()
    {
        QCOMPARE(encodeWindows1252("Café €"), QByteArray("Caf\xe9 \x80"));
        QCOMPARE(encodeWindows1252(QString::fromUtf8("Ж😀\x1a")), QByteArray("??\x1a"));
    }

    void codePageTables_holdThePublishedMappings_matchTheSystemConverters_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QByteArray>("converter");
        // The start of the SHA-256 of bytes 0x80 to 0xFF as the page's Unicode mapping file reads
        // them, in UTF-8; Windows-1252's five undefined bytes as C1 controls, as Windows reads
        // them.
        QTest::addColumn<QByteArray>("published");
        QTest::newRow("1252") << 1252 << QByteArray("windows-1252")
                              << QByteArray("9ba654722668eee9");
        QTest::newRow("437") << 437 << QByteArray("IBM437") << QByteArray("6395cab87eae09bf");
        QTest::newRow("850") << 850 << QByteArray("IBM850") << QByteArray("4ca3112428df72e8");
        QTest::newRow("858") << 858 << QByteArray("IBM00858") << QByteArray("91d24582be31b95d");
        QTest::newRow("860") << 860 << QByteArray("IBM860") << QByteArray("b47c99e1080c8798");
    }

    // The tables match the system's converters, where it has them, but for the micro sign of 437
    // and 860, which some read as mu, and below 0x80, where every page is ASCII but the converters
    // swap three control characters of the DOS pages, which the program never sends as text.
    void codePageTables_holdThePublishedMappings_matchTheSystemConverters()
    {
        QFETCH(int, page);
        QFETCH(QByteArray, converter);
        QFETCH(QByteArray, published);
        const CodePageTable& table = *CodePageTable::of(page);
        QByteArray upperHalf;
        for (int value = 0x80; value < 0x100; ++value)
            upperHalf += char(value);
        const QByteArray hash =
            QCryptographicHash::hash(table.decode(upperHalf).toUtf8(), QCryptographicHash::Sha256);
        QCOMPARE(hash.toHex().left(published.size()), published);
        QCOMPARE(table.encode("µ"), QByteArray(page == 1252 ? "\xB5" : "\xE6"));

        QStringEncoder encoder(converter.constData(), QStringEncoder::Flag::Stateless);
        QStringDecoder decoder(converter.constData(), QStringDecoder::Flag::Stateless);
        if (!encoder.isValid() || !decoder.isValid())
            QSKIP("This system has no converter for the page.");
        const QByteArray departs = page == 437 || page == 860 ? "\xE6" : "";

        for (int value = 0; value < 0x100; ++value) {
            const QByteArray byte(1, char(value));
            const QString expected = value < 0x80 ? QString(QChar(value)) : decoder.decode(byte);
            if (!departs.contains(byte))
                QCOMPARE(table.decode(byte), expected);
        }
        for (char32_t codePoint = 0; codePoint < 0x10000; ++codePoint) {
            if (QChar::isSurrogate(codePoint))
                continue;
            const QString character{QChar(char16_t(codePoint))};
            QByteArray expected(1, char(codePoint));
            if (codePoint >= 0x80) {
                // A converter marks a character its page lacks with a substitute byte.
                expected = encoder.encode(character);
                if (decoder.decode(expected) != character)
                    expected = "?";
            }
            const QByteArray ours = table.encode(character);
            if (!departs.isEmpty() && (departs.contains(ours) || departs.contains(expected)))
                continue;
            if (ours != expected)
                QFAIL(qPrintable(QStringLiteral("U+%1").arg(uint(codePoint), 4, 16, QChar(u'0'))));
            QCOMPARE(table.holds(codePoint), expected != "?" || codePoint == u'?');
        }
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestTextRoutines)
#include "test_text_routines.moc"
