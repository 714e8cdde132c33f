// mostrela-screenshots FOLDER: opens the real window over a sample Mostrela.cfg and a few queued
// messages, and saves a picture of each page into FOLDER (the README's pictures). Run it on a
// display server (scripts/screenshots starts a virtual one); offscreen it draws the window itself.

#include "app/controller.h"
#include "display/display_presets.h"
#include "window/menu.h"
#include "window/qt_translations.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

using Page = Controller::Page;

// One value that cannot be used (a comma as the decimal point), to show how it is marked.
const QByteArray sampleConfig = "Porta=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00\r\n"
                                "NumLetras=20\r\n"
                                "InitMostrador=27+64\r\n"
                                "Limpa=12\r\n"
                                "InitLinha1=27+81+65\r\n"
                                "InitLinha2=27+81+66\r\n"
                                "FimLinha1=13\r\n"
                                "FimLinha2=13\r\n"
                                "SegundosTimerSQL=2\r\n"
                                "SegundosTimerDisplay=2,5\r\n"
                                "MostraDefault=1\r\n"
                                "Default_Linha1=Bem-vindo\r\n"
                                "Default_Linha2=#DataHora#\r\n"
                                "SQL_Servidor=LojaVendas\r\n"
                                "SQL_Utilizador=caixa1\r\n"
                                "SQL_Password=segredo\r\n"
                                "SQL_BaseDados=Vendas\r\n"
                                "LigaSQL=1\r\n"
                                "LigaFicheiros=1\r\n"
                                "LigaFicheirosPath=/srv/mostrela/entrada\r\n";

void settle(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

QPixmap picture(QWidget& window)
{
    if (QGuiApplication::platformName() == QStringLiteral("offscreen"))
        return window.grab();
    return window.screen()->grabWindow(window.winId());
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("Mostrela"));
    translateQtIntoPortuguese(application);
    if (argc != 2) {
        std::fprintf(stderr, "usage: mostrela-screenshots FOLDER\n");
        return 2;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));

    QTemporaryDir folder;
    QFile config(QDir(folder.path()).filePath(QStringLiteral("Mostrela.cfg")));
    if (!config.open(QIODevice::WriteOnly) || config.write(sampleConfig) != sampleConfig.size())
        return 1;
    config.close();

    Controller controller(folder.path());
    Menu menu(controller);
    menu.load(QString());
    // Nothing is read or sent: the pictures show the window alone.
    controller.tmrDisplay().setEnabled(false);
    MessageQueue& queue = controller.queue();
    queue.append({QStringLiteral("2026-12-08 10:15:02"), QStringLiteral("Café"),
                  QStringLiteral("Total 1,20 EUR")});
    queue.append({QStringLiteral("20261208101503"), QStringLiteral("Pastel de nata"),
                  QStringLiteral("Total 2,60 EUR")});
    queue.append({QStringLiteral("2026-12-08 10:15:07"), QStringLiteral("Obrigado pela visita"),
                  QStringLiteral("Volte sempre!")});
    // As the display got it: the accent folded.
    emit controller.messageShown(QStringLiteral("Agua 50cl"), QStringLiteral("Total 0,80 EUR"));
    emit controller.displayTested(true, QStringLiteral("Enviado às 10:14:31"));
    emit controller.connectionTested(true,
                                     QStringLiteral("Ligação bem sucedida: 3 mensagens à espera"));
    emit controller.sourceRead(QStringLiteral("SQL"), 2);
    emit controller.sourceRead(QStringLiteral("Ficheiros"), 1);
    menu.resize(900, 560);
    menu.show();

    // The last picture: the ESC/POS model chosen, its line settings and code page filled in.
    struct Picture {
        Page page;
        const char* name;
        const char* model; // the display model chosen first, if any
    };
    const Picture pictures[] = {
        {Page::Display, "janela-display.png", nullptr},
        {Page::SQL, "janela-sql.png", nullptr},
        {Page::Configura, "janela-configura.png", nullptr},
        {Page::Executando, "janela-executar.png", nullptr},
        {Page::Display, "janela-display-escpos.png", "escpos"},
    };
    for (const auto& [page, name, model] : pictures) {
        if (model)
            for (const auto& [key, value] :
                 displayPresetWithKey(QString::fromLatin1(model))->settingValues())
                controller.settings().setText(key, value);
        controller.selectPage(page);
        controller.tmrVerifica().setEnabled(false);
        if (page == Page::Display)
            menu.GravarMostrela_cfg(); // the status bar after a save
        settle(500);
        const QString path = output.filePath(QString::fromLatin1(name));
        if (!picture(menu).save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}
