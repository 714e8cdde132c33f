#include "emulator/virtual_display.h"
#include "support/controller_folder.h"
#include "support/pseudo_terminal.h"
#include "support/running_controller.h"

#include <QLabel>
#include <QtTest>

using Key = Settings::Key;

namespace {

// The running page's picture of the display beside a terminal display fed with the bytes that
// went out, as mostrela-visor is.
struct Displays {
    PseudoTerminal port;
    VirtualDisplay terminal;
    Menu* menu = nullptr;

    QLabel* label(const char* name)
    {
        auto* found = menu->findChild<QLabel*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no label named %s", name);
        return found;
    }
    // What the terminal shows after every byte received so far.
    QStringList terminalLines()
    {
        terminal.feed(port.take(0, 0));
        return {terminal.upperLine(), terminal.lowerLine()};
    }
    QStringList previewLines()
    {
        return {label("visorLinha1")->text(), label("visorLinha2")->text()};
    }
    QLabel* failure() { return label("lblVisorFalha"); }
};

QByteArray utf8(const QString& text)
{
    return text.toUtf8();
}

} // namespace

class TestDisplayPreview : public QObject {
    Q_OBJECT
private slots:
    void preview_holdsWhatTheBytesCarried_foldedCutAndTrimmed();
    void preview_saysTheLastWriteFailed_untilAMessageGetsThrough();
};

void TestDisplayPreview::preview_holdsWhatTheBytesCarried_foldedCutAndTrimmed()
{
    Displays displays;
    ControllerFolder folder;
    folder.settings().setText(Key::Porta, displays.port.slavePath());
    folder.settings().setLigaFicheiros(true);
    folder.writeConfig();
    RunningController running(folder.path());
    displays.menu = &running.menu();

    // Line 1 is the file's first 20 letters; line 2 runs longer and is cut by the display's width.
    QVERIFY(folder.drop(QStringLiteral("1.dsp"),
                        utf8(QStringLiteral("Promoção do mês: pão") +
                             QStringLiteral("Ação de promoção do mês inteiro"))));
    const QStringList sent = {QStringLiteral("Promocao do mes: pao"),
                              QStringLiteral("Acao de promocao do")};
    QTRY_COMPARE(displays.terminalLines(), sent);
    QTRY_COMPARE(displays.previewLines(), sent);
    QVERIFY(displays.failure()->isHidden());

    QVERIFY(folder.drop(QStringLiteral("2.dsp"), utf8(QStringLiteral("  Olá  "))));
    QTRY_COMPARE(displays.terminalLines(), QStringList({QStringLiteral("Ola"), QString()}));
    QTRY_COMPARE(displays.previewLines(), displays.terminalLines());
}

void TestDisplayPreview::preview_saysTheLastWriteFailed_untilAMessageGetsThrough()
{
    Displays displays;
    ControllerFolder folder;
    folder.settings().setText(Key::Porta, displays.port.slavePath());
    folder.settings().setLigaFicheiros(true);
    folder.writeConfig();
    RunningController running(folder.path());
    displays.menu = &running.menu();
    QVERIFY(folder.drop(QStringLiteral("1.dsp"), "Primeira"));
    QTRY_COMPARE(displays.previewLines(), QStringList({QStringLiteral("Primeira"), QString()}));

    Settings& settings = running.controller().settings();
    const QString missing = folder.filePath(QStringLiteral("sem-display"));
    settings.setText(Key::Porta, missing);
    QVERIFY(folder.drop(QStringLiteral("2.dsp"), "Segunda"));
    QTRY_VERIFY(!displays.failure()->isHidden());
    QVERIFY2(displays.failure()->text().startsWith(QStringLiteral("Última escrita falhou: ")) &&
                 displays.failure()->text().contains(missing),
             qPrintable(displays.failure()->text()));
    // The display still shows the message before.
    QCOMPARE(displays.previewLines(), displays.terminalLines());

    settings.setText(Key::Porta, displays.port.slavePath());
    QTRY_COMPARE(displays.terminalLines(), QStringList({QStringLiteral("Segunda"), QString()}));
    QTRY_VERIFY(displays.failure()->isHidden());
    QCOMPARE(displays.previewLines(), displays.terminalLines());
}

QTEST_MAIN(TestDisplayPreview)
#include "test_display_preview.moc"
