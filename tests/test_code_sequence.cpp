#include "core/code_sequence.h"
#include "support/test_main.h"

class TestCodeSequence : public QObject {
    Q_OBJECT
private slots:
    void extraiCodigo_takesDigitsOfOneField_data()
    {
        QTest::addColumn<QString>("sequence");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("digits");
        QTest::newRow("first") << "27+81+65" << 1 << "27";
        QTest::newRow("third") << "27+81+65" << 3 << "65";
        QTest::newRow("missing") << "27+81+65" << 4 << "";
        QTest::newRow("field zero") << "27+81" << 0 << "";
        QTest::newRow("blanks ignored") << "27 + 81" << 2 << "81";
        QTest::newRow("letters ignored") << "2x7+81" << 1 << "27";
        QTest::newRow("sign ignored") << "-5+1" << 1 << "5";
        QTest::newRow("empty field") << "27++65" << 2 << "";
        QTest::newRow("non-ASCII digit ignored") << QString::fromUtf8("2٣7") << 1 << "27";
        // The field that starts at position 99 keeps only the digit at position 100.
        QTest::newRow("cut at 100") << QString(98, u'1') + "+23" << 2 << "2";
        QTest::newRow("past 100") << QString(100, u'1') + "+23" << 2 << "";
    }

    void extraiCodigo_takesDigitsOfOneField()
    {
        QFETCH(QString, sequence);
        QFETCH(int, field);
        QTEST(ExtraiCodigo(static_cast<qint16>(field), sequence), "digits");
    }

    void codeSequenceBytes_convertsFieldsOneToSix_data()
    {
        QTest::addColumn<QString>("sequence");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("three fields") << "27+81+65" << QByteArray("\x1B\x51\x41");
        QTest::newRow("one field") << "12" << QByteArray("\x0C");
        QTest::newRow("zero byte") << "0+255" << QByteArray("\x00\xFF", 2);
        QTest::newRow("trailing plus") << "27+81+65+" << QByteArray("\x1B\x51\x41");
        QTest::newRow("noise in fields") << "27 + 8x1" << QByteArray("\x1B\x51");
        QTest::newRow("empty field skipped") << "27++65" << QByteArray("\x1B\x41");
        QTest::newRow("over 255 skipped") << "300+13" << QByteArray("\x0D");
        QTest::newRow("over 32 bits skipped") << "99999999999+13" << QByteArray("\x0D");
        QTest::newRow("seventh field ignored")
            << "27+81+65+1+2+3+4" << QByteArray("\x1B\x51\x41\x01\x02\x03");
        QTest::newRow("empty") << "" << QByteArray();
        QTest::newRow("fields past 100 lost") << QString(99, u' ') + "+27+13" << QByteArray();
    }

    void codeSequenceBytes_convertsFieldsOneToSix()
    {
        QFETCH(QString, sequence);
        QTEST(codeSequenceBytes(sequence), "bytes");
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestCodeSequence)
#include "test_code_sequence.moc"
