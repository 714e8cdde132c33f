#include "display/virtual_display.h"

#include <QtTest>

class TestVirtualDisplay : public QObject {
    Q_OBJECT
private slots:
    void usualByteStream_showsBothLines();
    void bytesInPieces_giveTheSameLines();
    void clearAndInitialise_emptyBothLines();
    void otherBytes_areIgnored();
};

namespace {

const QByteArray usualStream = QByteArray("\x0C") + "\x1B\x51\x41\x42\x6F\x6D\x20\x64\x69\x61\x0D" +
                               "\x1B\x51\x42\x43\x61\x66\x65\x0D";

} // namespace

void TestVirtualDisplay::usualByteStream_showsBothLines()
{
    VirtualDisplay display;
    QVERIFY(display.feed(usualStream));
    QCOMPARE(display.upperLine(), QStringLiteral("Bom dia"));
    QCOMPARE(display.lowerLine(), QStringLiteral("Cafe"));
    QVERIFY(!display.feed("\x1BQACafe"));
    QVERIFY(!display.feed("\x1BQBCafe\r")); // unchanged: nothing to redraw
    QVERIFY(display.feed("\x1BQB\xE9\r"));
    QCOMPARE(display.lowerLine(), QStringLiteral("é"));
}

void TestVirtualDisplay::bytesInPieces_giveTheSameLines()
{
    VirtualDisplay display;
    for (const char byte : usualStream)
        display.feed(QByteArray(1, byte));
    QCOMPARE(display.upperLine(), QStringLiteral("Bom dia"));
    QCOMPARE(display.lowerLine(), QStringLiteral("Cafe"));
}

void TestVirtualDisplay::clearAndInitialise_emptyBothLines()
{
    VirtualDisplay display;
    display.feed(usualStream);
    QVERIFY(display.feed("\x0C"));
    QCOMPARE(display.upperLine(), QString());
    QCOMPARE(display.lowerLine(), QString());
    display.feed(usualStream);
    QVERIFY(display.feed("\x1B@"));
    QCOMPARE(display.upperLine(), QString());
    QCOMPARE(display.lowerLine(), QString());
}

void TestVirtualDisplay::otherBytes_areIgnored()
{
    VirtualDisplay display;
    QVERIFY(!display.feed("loose text\r\x1BZ\x1BQC?\r\x07"));
    QCOMPARE(display.upperLine(), QString());
    QVERIFY(display.feed("\x1BQAok\r"));
    QCOMPARE(display.upperLine(), QStringLiteral("ok"));
}

QTEST_GUILESS_MAIN(TestVirtualDisplay)
#include "test_virtual_display.moc"
