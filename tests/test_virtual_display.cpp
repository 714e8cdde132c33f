#include "emulator/virtual_display.h"
#include "support/test_main.h"

namespace {

const QByteArray usualStream = QByteArray("\x0C") + "\x1B\x51\x41\x42\x6F\x6D\x20\x64\x69\x61\x0D" +
                               "\x1B\x51\x42\x43\x61\x66\x65\x0D";

QStringList shown(const VirtualDisplay& display)
{
    return {display.upperLine(), display.lowerLine()};
}

// Bytes fed to the display, whether it then says a line changed, and both lines after them.
struct Step {
    QByteArray bytes;
    bool changed;
    QStringList lines;
};

} // namespace

class TestVirtualDisplay : public QObject {
    Q_OBJECT
private slots:
    void feed_showsWhatTheCommandsWrite_data()
    {
        QTest::addColumn<DisplayCommandSet>("commandSet");
        QTest::addColumn<QList<Step>>("steps");
        const QStringList usual{"Bom dia", "Cafe"};
        QTest::newRow("usual byte stream shows both lines")
            << DisplayCommandSet::escQ
            << QList<Step>{{usualStream, true, usual},
                           {"\x1BQACafe", false, usual},
                           {"\x1BQBCafe\r", false, usual}, // unchanged: nothing to redraw
                           {"\x1BQB\xE9\r", true, {"Bom dia", "é"}}};
        QTest::newRow("clear and initialise empty both lines")
            << DisplayCommandSet::escQ
            << QList<Step>{{usualStream, true, usual},
                           {"\x0C", true, {"", ""}},
                           {usualStream, true, usual},
                           {"\x1B@", true, {"", ""}}};
        QTest::newRow("other bytes are ignored")
            << DisplayCommandSet::escQ
            << QList<Step>{{"loose text\r\x1BZ\x1BQC?\r\x07", false, {"", ""}},
                           {"\x1BQAok\r", true, {"ok", ""}}};
        QTest::newRow("ESC/POS writes where the cursor stands")
            << DisplayCommandSet::escPos
            << QList<Step>{
                   {"\x1F$\x05\x02wo", true, {"", "    wo"}},
                   // Column 21 is off the display: the cursor stays.
                   {"\x1F$\x15\x01w", true, {"", "    wow"}},
                   {"\x0B", false, {"", "    wow"}},
                   // Past the last column: on in the other row.
                   {"12345678901234567890next", true, {"12345678901234567890", "nextwow"}},
                   // Cursor and brightness are no text.
                   {"\rX\nY\x1F\x43\x01\x1F\x58\x04", true, {"1Y345678901234567890", "Xextwow"}},
                   {"\x1B@z", true, {"z", ""}},
                   // A code table's number is no text, even a printable one.
                   {QByteArray("\x1Bt\xFF") + "a", true, {"za", ""}}};
        QTest::newRow("AEDEX line commands replace their lines")
            << DisplayCommandSet::aedex
            << QList<Step>{
                   {"!#1Bom dia\r!#2Cafe\r", true, usual},
                   {"!#4scrolling\r!x1no\r!#1unfinished", false, usual},
                   {"\r!!#9first line of twentysecond\r", true, {"first line of twenty", "second"}},
                   {"!#9 \r", true, {" ", ""}}};
        QTest::newRow("Logic Controls positions count across both rows")
            << DisplayCommandSet::logicControls
            << QList<Step>{// The brightness byte is no text.
                           {"\x10\x16wo\x10\x02xy\x04\x20", true, {"  xy", "  wo"}},
                           // Position 40 is off the display: the cursor stays.
                           {"\x10\x28", false, {"  xy", "  wo"}},
                           {"z", true, {"  xyz", "  wo"}},
                           {"\x1F\x11g", true, {"g", ""}}};
    }

    void feed_showsWhatTheCommandsWrite()
    {
        QFETCH(DisplayCommandSet, commandSet);
        QFETCH(QList<Step>, steps);
        VirtualDisplay display(commandSet);
        for (const Step& step : steps) {
            QCOMPARE(display.feed(step.bytes), step.changed);
            QCOMPARE(shown(display), step.lines);
        }
    }

    void bytesInPieces_giveTheSameLines()
    {
        VirtualDisplay display;
        for (const char byte : usualStream)
            display.feed(QByteArray(1, byte));
        QCOMPARE(shown(display), QStringList({"Bom dia", "Cafe"}));
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestVirtualDisplay)
#include "test_virtual_display.moc"
