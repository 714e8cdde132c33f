#include "emulator/virtual_display.h"
#include "support/controller_rig.h"
#include "support/test_main.h"
#include "support/verify_says.h"

#include <QLabel>

using Key = Settings::Key;

namespace {

// The running page's picture of the display beside a terminal display fed with the bytes that
// went out, as mostrela-visor is.
struct Displays {
    ControllerRig rig;
    VirtualDisplay terminal;

    QLabel* label(const char* name) { return child<QLabel>(rig.running().menu(), name); }
    // What the terminal shows after every byte received so far.
    QStringList terminalLines()
    {
        terminal.feed(rig.display.take());
        return {terminal.upperLine(), terminal.lowerLine()};
    }
    QStringList previewLines()
    {
        return {label("visorLinha1")->text(), label("visorLinha2")->text()};
    }
    QLabel* failure() { return label("lblVisorFalha"); }
    bool drop(const char* name, const QString& text)
    {
        return rig.folder.drop(QString::fromLatin1(name), text.toUtf8());
    }
};

} // namespace

class TestDisplayPreview : public QObject {
    Q_OBJECT
private slots:
    void preview_holdsWhatTheBytesCarried_foldedCutAndTrimmed()
    {
        Displays displays;
        displays.rig.folder.settings().setLigaFicheiros(true);
        displays.rig.start();

        // Line 1 is the file's first 20 letters; line 2 runs longer and is cut by the display's
        // width.
        QVERIFY(displays.drop("1.dsp", QStringLiteral("Promoção do mês: pão") +
                                           "Ação de promoção do mês inteiro"));
        const QStringList sent = {QStringLiteral("Promocao do mes: pao"),
                                  QStringLiteral("Acao de promocao do")};
        QTRY_COMPARE(displays.terminalLines(), sent);
        QTRY_COMPARE(displays.previewLines(), sent);
        QVERIFY(displays.failure()->isHidden());

        QVERIFY(displays.drop("2.dsp", "  Olá  "));
        QTRY_COMPARE(displays.terminalLines(), QStringList({"Ola", QString()}));
        QTRY_COMPARE(displays.previewLines(), displays.terminalLines());
    }

    void preview_saysTheLastWriteFailed_untilAMessageGetsThrough()
    {
        Displays displays;
        displays.rig.folder.settings().setLigaFicheiros(true);
        displays.rig.start();
        QVERIFY(displays.drop("1.dsp", "Primeira"));
        QTRY_COMPARE(displays.previewLines(), QStringList({"Primeira", QString()}));

        Settings& settings = displays.rig.settings();
        const QString missing = displays.rig.folder.filePath("sem-display");
        settings.setText(Key::Porta, missing);
        QVERIFY(displays.drop("2.dsp", "Segunda"));
        QTRY_VERIFY(!displays.failure()->isHidden());
        VERIFY_STARTS(displays.failure()->text(), "Última escrita falhou: ");
        VERIFY_SAYS(displays.failure()->text(), missing);
        // The display still shows the message before.
        QCOMPARE(displays.previewLines(), displays.terminalLines());

        settings.setText(Key::Porta, displays.rig.display.name());
        QTRY_COMPARE(displays.terminalLines(), QStringList({"Segunda", QString()}));
        QTRY_VERIFY(displays.failure()->isHidden());
        QCOMPARE(displays.previewLines(), displays.terminalLines());

        // A failed test of the display stands only until a later message gets through, one with the
        // lines of the message before the test too.
        settings.setText(Key::Porta, missing);
        displays.rig.running().controller().testDisplay();
        QTRY_VERIFY(!displays.failure()->isHidden());
        settings.setText(Key::Porta, displays.rig.display.name());
        QVERIFY(displays.drop("3.dsp", "Segunda"));
        QTRY_VERIFY(displays.failure()->isHidden());
        QCOMPARE(displays.previewLines(), displays.terminalLines());
    }
};

MOSTRELA_TEST_MAIN(TestDisplayPreview)
#include "test_display_preview.moc"
