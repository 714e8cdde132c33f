#include "emulator/virtual_display.h"
#include "support/test_main.h"

namespace {

const QByteArray usualStream = QByteArray("\x0C") + "\x1B\x51\x41\x42\x6F\x6D\x20\x64\x69\x61\x0D" +
                               "\x1B\x51\x42\x43\x61\x66\x65\x0D";

QStringList shown(const VirtualDisplay& display)
{
    return {display.upperLine(), display.lowerLine()};
}

} // namespace

class TestVirtualDisplay : public QObject {
    Q_OBJECT
private slots:
    void usualByteStream_showsBothLines()
    {
        VirtualDisplay display;
        QVERIFY(display.feed(usualStream));
        QCOMPARE(shown(display), QStringList({"Bom dia", "Cafe"}));
        QVERIFY(!display.feed("\x1BQACafe"));
        QVERIFY(!display.feed("\x1BQBCafe\r")); // unchanged: nothing to redraw
        QVERIFY(display.feed("\x1BQB\xE9\r"));
        QCOMPARE(display.lowerLine(), "é");
    }

    void bytesInPieces_giveTheSameLines()
    {
        VirtualDisplay display;
        for (const char byte : usualStream)
            display.feed(QByteArray(1, byte));
        QCOMPARE(shown(display), QStringList({"Bom dia", "Cafe"}));
    }

    void clearAndInitialise_emptyBothLines()
    {
        VirtualDisplay display;
        display.feed(usualStream);
        QVERIFY(display.feed("\x0C"));
        QCOMPARE(shown(display), QStringList({"", ""}));
        display.feed(usualStream);
        QVERIFY(display.feed("\x1B@"));
        QCOMPARE(shown(display), QStringList({"", ""}));
    }

    void otherBytes_areIgnored()
    {
        VirtualDisplay display;
        QVERIFY(!display.feed("loose text\r\x1BZ\x1BQC?\r\x07"));
        QCOMPARE(display.upperLine(), QString());
        QVERIFY(display.feed("\x1BQAok\r"));
        QCOMPARE(display.upperLine(), "ok");
    }

    void escPos_writesWhereTheCursorStands()
    {
        VirtualDisplay display(DisplayCommandSet::escPos);
        QVERIFY(display.feed("\x1F$\x05\x02wo"));
        QCOMPARE(shown(display), QStringList({"", "    wo"}));
        display.feed("\x1F$\x15\x01w"); // column 21 is off the display: the cursor stays
        QCOMPARE(display.lowerLine(), "    wow");
        display.feed("\x0B");
        display.feed("12345678901234567890next"); // past the last column: on in the other row
        QCOMPARE(shown(display), QStringList({"12345678901234567890", "nextwow"}));
        display.feed("\rX\nY\x1F\x43\x01\x1F\x58\x04"); // cursor and brightness are no text
        QCOMPARE(shown(display), QStringList({"1Y345678901234567890", "Xextwow"}));
        QVERIFY(display.feed("\x1B@z"));
        QCOMPARE(shown(display), QStringList({"z", ""}));
        display.feed("\x1Bt\xFF"
                     "a"); // a code table's number is no text, even a printable one
        QCOMPARE(display.upperLine(), "za");
    }

    void aedex_lineCommands_replaceTheirLines()
    {
        VirtualDisplay display(DisplayCommandSet::aedex);
        QVERIFY(display.feed("!#1Bom dia\r!#2Cafe\r"));
        QCOMPARE(shown(display), QStringList({"Bom dia", "Cafe"}));
        QVERIFY(!display.feed("!#4scrolling\r!x1no\r!#1unfinished"));
        QCOMPARE(display.upperLine(), "Bom dia");
        display.feed("\r!!#9first line of twentysecond\r");
        QCOMPARE(shown(display), QStringList({"first line of twenty", "second"}));
        QVERIFY(display.feed("!#9 \r"));
        QCOMPARE(display.upperLine().trimmed(), QString());
        QCOMPARE(display.lowerLine(), QString());
    }

    void logicControls_positionsCountAcrossBothRows()
    {
        VirtualDisplay display(DisplayCommandSet::logicControls);
        display.feed("\x10\x16wo\x10\x02xy\x04\x20"); // the brightness byte is no text
        QCOMPARE(shown(display), QStringList({"  xy", "  wo"}));
        QVERIFY(!display.feed("\x10\x28")); // position 40 is off the display: the cursor stays
        display.feed("z");
        QCOMPARE(display.upperLine(), "  xyz");
        QVERIFY(display.feed("\x1F\x11g"));
        QCOMPARE(shown(display), QStringList({"g", ""}));
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestVirtualDisplay)
#include "test_virtual_display.moc"
