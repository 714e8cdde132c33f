#include "core/code_page.h"
#include "core/code_sequence.h"
#include "display/display_presets.h"
#include "emulator/virtual_display.h"
#include "support/preset_message.h"

#include <QtTest>

class TestDisplayPresets : public QObject {
    Q_OBJECT
private slots:
    void presetMessage_showsItsLinesOnItsCommandSet_data();
    void presetMessage_showsItsLinesOnItsCommandSet();
    void presetCodes_matchTheirPreset_evenSpacedOut();
    void otherCodes_matchNoPreset();
};

namespace {

QString spacedOut(const QString& sequence)
{
    return sequence.isEmpty() ? QStringLiteral(" ")
                              : QLatin1Char(' ') + sequence.split(u'+').join(QStringLiteral(" + "));
}

} // namespace

void TestDisplayPresets::presetMessage_showsItsLinesOnItsCommandSet_data()
{
    QTest::addColumn<int>("preset");
    QTest::addColumn<int>("pieceSize");
    for (int preset = 0; preset < int(displayPresets().size()); ++preset) {
        for (const int pieceSize : {1, 2, 3, 5, 1000}) {
            const QByteArray tag = displayPresets()[preset].key.toLatin1() + " in pieces of " +
                                   QByteArray::number(pieceSize);
            QTest::newRow(tag.constData()) << preset << pieceSize;
        }
    }
}

void TestDisplayPresets::presetMessage_showsItsLinesOnItsCommandSet()
{
    QFETCH(int, preset);
    QFETCH(int, pieceSize);
    const DisplayPreset& chosen = displayPresets()[preset];
    // The display reads text in the code page the preset's codes select.
    const CodePage page = CodePage::parse(chosen.paginaCodigos);
    VirtualDisplay display(chosen.commandSet, page);
    display.feed(codeSequenceBytes(chosen.codes.initMostrador));
    // Longer lines first: the next message must leave nothing of them behind.
    display.feed(presetMessage(chosen.codes, "a much longer line 1", "another long line 2"));
    QCOMPARE(display.upperLine(), QStringLiteral("a much longer line 1"));
    QCOMPARE(display.lowerLine(), QStringLiteral("another long line 2"));

    const QByteArray bytes =
        presetMessage(chosen.codes, "line one", page.encode(QStringLiteral("Café 2 €")));
    for (qsizetype at = 0; at < bytes.size(); at += pieceSize)
        display.feed(bytes.mid(at, pieceSize));
    QCOMPARE(display.upperLine(), QStringLiteral("line one"));
    QCOMPARE(display.lowerLine(), QStringLiteral("Café 2 €"));
}

void TestDisplayPresets::presetCodes_matchTheirPreset_evenSpacedOut()
{
    for (const DisplayPreset& preset : displayPresets()) {
        QCOMPARE(matchingDisplayPreset(preset.codes), &preset);
        const DisplayCodes& codes = preset.codes;
        const DisplayCodes spaced{spacedOut(codes.initMostrador), spacedOut(codes.limpa),
                                  spacedOut(codes.initLinha1),    spacedOut(codes.fimLinha1),
                                  spacedOut(codes.initLinha2),    spacedOut(codes.fimLinha2)};
        QCOMPARE(matchingDisplayPreset(spaced), &preset);
        QCOMPARE(displayPresetWithKey(preset.key), &preset);
    }
}

void TestDisplayPresets::otherCodes_matchNoPreset()
{
    DisplayCodes codes = displayPresets().front().codes;
    codes.initLinha2 = QStringLiteral("27+81+67");
    QCOMPARE(matchingDisplayPreset(codes), nullptr);
    codes = displayPresets().front().codes;
    codes.initMostrador.clear(); // every one of the six counts, the unsent one too
    QCOMPARE(matchingDisplayPreset(codes), nullptr);
    QCOMPARE(matchingDisplayPreset(DisplayCodes{}), nullptr);
    QCOMPARE(displayPresetWithKey(QStringLiteral("CD5220")), nullptr);
}

QTEST_GUILESS_MAIN(TestDisplayPresets)
#include "test_display_presets.moc"
