#include "core/code_sequence.h"
#include "core/settings.h"
#include "core/settings_snapshots.h"
#include "display/display_dispatch.h"
#include "display/display_presets.h"
#include "emulator/virtual_display.h"
#include "support/test_main.h"

class TestDisplayPresets : public QObject {
    Q_OBJECT
private slots:
    void presetMessage_showsItsLinesOnItsCommandSet_data()
    {
        QTest::addColumn<int>("preset");
        QTest::addColumn<int>("pieceSize");
        for (int preset = 0; preset < int(displayPresets().size()); ++preset) {
            for (const int pieceSize : {1, 2, 3, 5, 1000})
                QTest::addRow("%s in pieces of %d", qPrintable(displayPresets()[preset].key),
                              pieceSize)
                    << preset << pieceSize;
        }
    }

    void presetMessage_showsItsLinesOnItsCommandSet()
    {
        QFETCH(int, preset);
        QFETCH(int, pieceSize);
        const DisplayPreset& chosen = displayPresets()[preset];
        Settings settings;
        for (const auto& [key, value] : chosen.settingValues())
            settings.setText(key, value);
        const DisplaySettings snapshot = displaySettings(settings);
        // The display reads text in the code page the preset's codes select.
        VirtualDisplay display(chosen.commandSet, *snapshot.paginaCodigos.value);
        display.feed(codeSequenceBytes(chosen.codes.initMostrador));
        // Longer lines first: the next message must leave nothing of them behind.
        display.feed(prepareMessage(snapshot, "a much longer line 1", "another long line 2")
                         .display.frame());
        QCOMPARE(display.upperLine(), "a much longer line 1");
        QCOMPARE(display.lowerLine(), "another long line 2");

        const PreparedMessage message = prepareMessage(snapshot, "line one", "Café 2 €");
        const QByteArray bytes = message.display.frame();
        for (qsizetype at = 0; at < bytes.size(); at += pieceSize)
            display.feed(bytes.mid(at, pieceSize));
        QCOMPARE(display.upperLine(), "line one");
        // What the window says the display shows, accents and all where the page selects one.
        QCOMPARE(display.lowerLine(), message.linha2);
        QCOMPARE(display.lowerLine(), chosen.paginaCodigos.isEmpty() ? "Cafe 2 €" : "Café 2 €");
    }

    void presetCodes_matchTheirPreset_evenSpacedOut()
    {
        const auto spacedOut = [](const QString& sequence) {
            return sequence.isEmpty() ? QStringLiteral(" ")
                                      : QLatin1Char(' ') + sequence.split(u'+').join(" + ");
        };
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

    void otherCodes_matchNoPreset()
    {
        DisplayCodes codes = displayPresets().front().codes;
        codes.initLinha2 = QStringLiteral("27+81+67");
        QCOMPARE(matchingDisplayPreset(codes), nullptr);
        codes = displayPresets().front().codes;
        codes.initMostrador.clear(); // every one of the six counts, the unsent one too
        QCOMPARE(matchingDisplayPreset(codes), nullptr);
        QCOMPARE(matchingDisplayPreset(DisplayCodes{}), nullptr);
        QCOMPARE(displayPresetWithKey("CD5220"), nullptr);
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestDisplayPresets)
#include "test_display_presets.moc"
