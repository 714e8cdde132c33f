#include "display/display_dispatch.h"

#include "core/settings_snapshots.h"
#include "display/cdisplay.h"

namespace {

// Why the settings cannot show a message as it is meant, or empty when they can.
QString unusableSetting(const DisplaySettings& settings)
{
    if (!settings.numLetras.letters)
        return settings.numLetras.problem();
    if (!settings.portaDefinicoes.value)
        return settings.portaDefinicoes.problem;
    if (!settings.paginaCodigos.value)
        return settings.paginaCodigos.problem;
    return {};
}

} // namespace

PreparedMessage prepareMessage(const DisplaySettings& settings, const QString& linha1,
                               const QString& linha2)
{
    PreparedMessage message;
    // A width, line or code page that cannot be used would blank or garble the message: it
    // waits for settings that can.
    message.failure = unusableSetting(settings);
    if (!message.failure.isEmpty())
        return message;
    const qint16 width = *settings.numLetras.letters;
    message.cutLinha1 = message.linha1 = linha1.left(width);
    message.cutLinha2 = message.linha2 = linha2.left(width);

    cDisplay& display = message.display;
    display.ConfigSetComprimentoLinha(width);
    display.ConfigPaginaCodigos(*settings.paginaCodigos.value);
    display.ConfigCLSChar(settings.limpa);
    display.ConfigLinha1IniChar(settings.initLinha1);
    display.ConfigLinha1FimChar(settings.fimLinha1);
    display.ConfigLinha2IniChar(settings.initLinha2);
    display.ConfigLinha2FimChar(settings.fimLinha2);
    display.CLSDisplay();
    // Linha hands the lines back as they go out.
    display.Linha(message.linha1, 0, 1);
    display.Linha(message.linha2, 0, 2);
    return message;
}

DisplayDispatch::DisplayDispatch(DisplayPort& mscDisplay) : m_mscDisplay(mscDisplay) {}

DisplayOutcome DisplayDispatch::LancaNoDisplay(const DisplaySettings& settings,
                                               const QString& linha1, const QString& linha2)
{
    DisplayOutcome outcome;
    PreparedMessage message = prepareMessage(settings, linha1, linha2);
    outcome.failure = message.failure;
    if (!outcome.failure.isEmpty()) {
        outcome.reached = false;
        return outcome;
    }
    // The lines as cut: Linha hands them back as they go out.
    std::pair<QString, QString> cut{message.cutLinha1, message.cutLinha2};
    if (m_last == cut)
        return outcome;

    cDisplay& display = message.display;
    display.ctrlInterface(&m_mscDisplay);
    display.SetPortaComm(settings.porta, *settings.portaDefinicoes.value);
    outcome.reached = display.writeFrame();
    outcome.written = outcome.reached;
    outcome.failure = display.skippedFailure();
    outcome.linha1 = message.linha1;
    outcome.linha2 = message.linha2;

    // Remembered only once written, so a display that comes back gets the same text again.
    if (outcome.reached)
        m_last = std::move(cut);
    return outcome;
}
