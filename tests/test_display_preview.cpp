#include "emulator/virtual_display.h"
#include "support/controller_rig.h"
#include "support/test_main.h"
#include "support/verify_says.h"

#include <QLabel>

namespace {

// The running page's picture of the display beside a terminal display fed with the bytes that
// went out, as mostrela-visor is.
struct Displays {
    ControllerRig rig;
    VirtualDisplay terminal;

    Displays() { rig.startOnFiles(); }

    QLabel* label(const char* name) { return child<QLabel>(rig.running().menu(), name); }
    // What the terminal shows after every byte received so far.
    QStringList terminalLines()
    {
        terminal.feed(rig.display.take());
        return {terminal.upperLine(), terminal.lowerLine()};
    }
    QStringList picture() { return {label("visorLinha1")->text(), label("visorLinha2")->text()}; }
    QLabel* failure() { return label("lblVisorFalha"); }
};

} // namespace

class TestDisplayPreview : public QObject {
    Q_OBJECT
private slots:
    void preview_holdsWhatTheBytesCarried_foldedCutAndTrimmed()
    {
        Displays displays;

        // Line 1 is the file's first 20 letters; line 2 runs on and is cut by the display's width.
        QVERIFY(displays.rig.folder.drop("1.dsp", "Promoção do mês: pão"
                                                  "Ação de promoção do mês inteiro"));
        const QStringList sent = {"Promocao do mes: pao", "Acao de promocao do"};
        QTRY_COMPARE(displays.terminalLines(), sent);
        QTRY_COMPARE(displays.picture(), sent);
        QVERIFY(displays.failure()->isHidden());

        QVERIFY(displays.rig.folder.drop("2.dsp", "  Olá  "));
        QTRY_COMPARE(displays.terminalLines(), QStringList({"Ola", QString()}));
        QTRY_COMPARE(displays.picture(), displays.terminalLines());
    }

    void preview_saysTheLastWriteFailed_untilAMessageGetsThrough()
    {
        Displays displays;
        QVERIFY(displays.rig.folder.drop("1.dsp", "Primeira"));
        QTRY_COMPARE(displays.picture(), QStringList({"Primeira", QString()}));

        const QString missing = displays.rig.folder.filePath("sem-display");
        displays.rig.settings().setText(Settings::Key::Porta, missing);
        QVERIFY(displays.rig.folder.drop("2.dsp", "Segunda"));
        QTRY_VERIFY(!displays.failure()->isHidden());
        VERIFY_STARTS(displays.failure()->text(), "Última escrita falhou: ");
        VERIFY_SAYS(displays.failure()->text(), missing);
        // The display still shows the message before.
        QCOMPARE(displays.picture(), displays.terminalLines());

        displays.rig.settings().setText(Settings::Key::Porta, displays.rig.display.name());
        QTRY_COMPARE(displays.terminalLines(), QStringList({"Segunda", QString()}));
        QTRY_VERIFY(displays.failure()->isHidden());
        QCOMPARE(displays.picture(), displays.terminalLines());

        // A failed display test stands until a message gets through, even one shown before it.
        displays.rig.settings().setText(Settings::Key::Porta, missing);
        displays.rig.running().controller().testDisplay();
        QTRY_VERIFY(!displays.failure()->isHidden());
        displays.rig.settings().setText(Settings::Key::Porta, displays.rig.display.name());
        QVERIFY(displays.rig.folder.drop("3.dsp", "Segunda"));
        QTRY_VERIFY(displays.failure()->isHidden());
        QCOMPARE(displays.picture(), displays.terminalLines());
    }
};

MOSTRELA_TEST_MAIN(TestDisplayPreview)
#include "test_display_preview.moc"
