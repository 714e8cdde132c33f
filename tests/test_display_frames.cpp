#include "support/frame_gaps.h"
#include "support/shown_messages.h"
#include "support/test_main.h"
#include "support/usual_display.h"

class TestDisplayFrames : public QObject {
    Q_OBJECT

private slots:
    void take_piecesOfAnySize_giveTheSameMessages()
    {
        const QByteArray bytes = usualDisplayMessage("Artigo 1", "Total 2,50 EUR") +
                                 usualDisplayMessage("Artigo 2", "Total 5,00 EUR");
        for (const qsizetype piece : {qsizetype(1), qsizetype(3), bytes.size()}) {
            ShownMessages shown;
            QList<ShownMessages::Shown> messages;
            for (qsizetype at = 0; at < bytes.size(); at += piece)
                messages += shown.take(bytes.mid(at, piece));
            QCOMPARE(messages.size(), 2);
            QCOMPARE(messages.at(0).linha1, "Artigo 1");
            QCOMPARE(messages.at(0).linha2, "Total 2,50 EUR");
            QCOMPARE(messages.at(1).linha1, "Artigo 2");
            QCOMPARE(messages.at(1).linha2, "Total 5,00 EUR");
            QCOMPARE(shown.strayBytes(), 0);
        }
    }

    void take_linesInWindows1252()
    {
        ShownMessages shown;
        const QList<ShownMessages::Shown> messages =
            shown.take(usualDisplayMessage("P\xE3o", "1,50 \x80"));
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.at(0).linha1, "Pão");
        QCOMPARE(messages.at(0).linha2, "1,50 €");
    }

    // A message torn on the line is not counted as shown: its bytes are stray, and so are
    // bytes before the first clear.
    void take_aMessageCutShortByTheNext_isStray()
    {
        ShownMessages shown;
        const QByteArray torn = QByteArray("\x0C\x1BQA") + "Artigo 1\r";
        const QList<ShownMessages::Shown> messages =
            shown.take("xy" + torn + usualDisplayMessage("Artigo 2", "Total"));
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.at(0).linha1, "Artigo 2");
        QCOMPARE(shown.strayBytes(), 2 + torn.size());
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
        QFETCH(double, longest);
        QVERIFY(qAbs(::longestSilence(times, from, to) - longest) < 1e-9);
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestDisplayFrames)
#include "test_display_frames.moc"
