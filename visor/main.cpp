// mostrela-visor: a customer display in the terminal, for working without the hardware. It
// prints the port to put in Porta, then draws the display's two lines whenever they change.

#include "core/failure.h"
#include "display/display_presets.h"
#include "emulator/virtual_display.h"
#include "visor/pty_port.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>
#include <stdexcept>

namespace {

constexpr qsizetype usualWidth = 20;
const QString cursorUpFrame = QStringLiteral("\x1B[4A");

class Screen {
public:
    explicit Screen(bool inPlace) : m_inPlace(inPlace) {}

    void draw(const VirtualDisplay& display)
    {
        const qsizetype width =
            std::max({usualWidth, display.upperLine().size(), display.lowerLine().size()});
        const QString border = QStringLiteral("+") + QString(width, u'-') + QStringLiteral("+");
        // In place: back over the last frame, erasing what a longer line left behind.
        const QString endOfLine = m_inPlace ? QStringLiteral("\x1B[K\n") : QStringLiteral("\n");
        if (m_inPlace && m_drawn)
            m_out << cursorUpFrame;
        m_out << border << endOfLine << '|' << display.upperLine().leftJustified(width) << '|'
              << endOfLine << '|' << display.lowerLine().leftJustified(width) << '|' << endOfLine
              << border << endOfLine;
        m_out.flush();
        m_drawn = true;
    }

    void hex(const QByteArray& bytes)
    {
        m_out << "<< " << bytes.toHex(' ') << '\n';
        m_out.flush();
    }

private:
    QTextStream m_out{stdout};
    bool m_inPlace;
    bool m_drawn = false;
};

QString modelChoices()
{
    QStringList choices;
    for (const DisplayPreset& preset : displayPresets())
        choices << preset.key + QStringLiteral(" = ") + preset.name;
    return choices.join(QStringLiteral("; "));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("mostrela-visor"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A customer display in the terminal: put the path it prints in Porta."));
    parser.addHelpOption();
    const QCommandLineOption hexOption(QStringLiteral("hex"),
                                       QStringLiteral("Also print every byte received, in hex."));
    parser.addOption(hexOption);
    const QCommandLineOption modelOption(
        QStringLiteral("modelo"),
        QStringLiteral("The display's command set, one of: %1. Default: %2.")
            .arg(modelChoices(), displayPresets().front().key),
        QStringLiteral("NAME"), displayPresets().front().key);
    parser.addOption(modelOption);
    const QCommandLineOption codePageOption(
        QStringLiteral("pagina-codigos"),
        QStringLiteral("The code page the display shows text in: 437, 850, 858, 860 or 1252; 0 "
                       "for Windows-1252, as a controller that folds accents sends. Default: the "
                       "code page the model's codes select, else 0."),
        QStringLiteral("N"));
    parser.addOption(codePageOption);
    parser.process(application);
    const bool hex = parser.isSet(hexOption);
    const DisplayPreset* model = displayPresetWithKey(parser.value(modelOption));
    if (model == nullptr) {
        std::fprintf(stderr, "mostrela-visor: unknown --modelo %s; one of: %s\n",
                     qPrintable(parser.value(modelOption)), qPrintable(modelChoices()));
        return 1;
    }
    CodePage codePage;
    try {
        codePage = CodePage::parse(parser.isSet(codePageOption) ? parser.value(codePageOption)
                                                                : model->paginaCodigos);
    } catch (const Failure& failure) {
        std::fprintf(stderr, "mostrela-visor: --pagina-codigos: %s\n",
                     qPrintable(failure.description()));
        return 1;
    }

    try {
        PtyPort port;
        std::printf("%s\n", qPrintable(port.slavePath()));
        std::fflush(stdout);

        VirtualDisplay display(model->commandSet, codePage);
        Screen screen(!hex);
        screen.draw(display);
        QObject::connect(&port, &PtyPort::received, [&](const QByteArray& bytes) {
            if (hex)
                screen.hex(bytes);
            if (display.feed(bytes))
                screen.draw(display);
        });
        return application.exec();
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "mostrela-visor: %s\n", error.what());
        return 1;
    }
}
