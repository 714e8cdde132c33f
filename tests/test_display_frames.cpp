#include "support/frame_gaps.h"
#include "support/shown_messages.h"
#include "support/test_main.h"
#include "support/usual_display.h"

class TestDisplayFrames : public QObject {
    Q_OBJECT

private slots:
    void take_givesTheMessagesWhole_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("piece");            // bytes given at a time
        QTest::addColumn<QStringList>("messages"); // each as "linha1|linha2"
        QTest::addColumn<qint64>("stray");
        const QByteArray two = usualDisplayMessage("Artigo 1", "Total 2,50 EUR") +
                               usualDisplayMessage("Artigo 2", "Total 5,00 EUR");
        const QStringList both{"Artigo 1|Total 2,50 EUR", "Artigo 2|Total 5,00 EUR"};
        for (const int piece : {1, 3, 1000})
            QTest::addRow("in pieces of %d", piece) << two << piece << both << qint64(0);
        QTest::newRow("lines in Windows-1252") << usualDisplayMessage("P\xE3o", "1,50 \x80") << 1000
                                               << QStringList{"Pão|1,50 €"} << qint64(0);
        // A torn message is not shown: its bytes are stray, as are those before the first clear.
        const QByteArray torn = QByteArray("\x0C\x1BQA") + "Artigo 1\r";
        QTest::newRow("a message cut short by the next")
            << "xy" + torn + usualDisplayMessage("Artigo 2", "Total") << 1000
            << QStringList{"Artigo 2|Total"} << qint64(2 + torn.size());
    }

    void take_givesTheMessagesWhole()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, piece);
        ShownMessages shown;
        QStringList messages;
        for (qsizetype at = 0; at < bytes.size(); at += piece) {
            for (const ShownMessages::Shown& message : shown.take(bytes.mid(at, piece)))
                messages << message.linha1 + u'|' + message.linha2;
        }
        QTEST(messages, "messages");
        QTEST(shown.strayBytes(), "stray");
    }

    void longestSilence_data()
    {
        QTest::addColumn<QList<double>>("times");
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<double>("longest");
        QTest::newRow("steady") << QList<double>{0.1, 0.2, 0.3, 0.4} << 0.0 << 0.45 << 0.1;
        QTest::newRow("no frame") << QList<double>{} << 1.0 << 3.0 << 2.0;
        QTest::newRow("a pause between frames")
            << QList<double>{0.1, 0.2, 1.5, 1.6} << 0.0 << 1.7 << 1.3;
        QTest::newRow("before the first frame") << QList<double>{0.9, 1.0} << 0.0 << 1.0 << 0.9;
        QTest::newRow("after the last frame") << QList<double>{0.1, 0.2} << 0.0 << 1.0 << 0.8;
        QTest::newRow("frames outside the span left out")
            << QList<double>{0.0, 0.5, 0.6, 2.0} << 0.3 << 1.0 << 0.4;
    }

    void longestSilence()
    {
        QFETCH(QList<double>, times);
        QFETCH(double, from);
        QFETCH(double, to);
        QTEST(::longestSilence(times, from, to), "longest");
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestDisplayFrames)
#include "test_display_frames.moc"
