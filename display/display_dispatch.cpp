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

DisplayDispatch::DisplayDispatch(SerialPort& mscDisplay) : m_mscDisplay(mscDisplay) {}

DisplayOutcome DisplayDispatch::LancaNoDisplay(const DisplaySettings& settings, QString linha1,
                                               QString linha2)
{
    DisplayOutcome outcome;
    // A width, line or code page that cannot be used would blank or garble the message: it
    // waits for settings that can.
    outcome.failure = unusableSetting(settings);
    if (!outcome.failure.isEmpty()) {
        outcome.reached = false;
        return outcome;
    }
    const qint16 width = *settings.numLetras.letters;
    linha1.truncate(width);
    linha2.truncate(width);
    // The lines as cut: Linha hands them back as they go out.
    std::pair<QString, QString> cut{linha1, linha2};
    if (m_last == cut)
        return outcome;

    cDisplay display;
    display.ctrlInterface(&m_mscDisplay);
    display.SetPortaComm(settings.porta, *settings.portaDefinicoes.value);
    display.ConfigPaginaCodigos(*settings.paginaCodigos.value);
    display.ConfigCLSChar(settings.limpa);
    display.ConfigLinha1IniChar(settings.initLinha1);
    display.ConfigLinha1FimChar(settings.fimLinha1);
    display.ConfigLinha2IniChar(settings.initLinha2);
    display.ConfigLinha2FimChar(settings.fimLinha2);
    display.CLSDisplay();
    display.Linha(linha1, 1);
    display.Linha(linha2, 2);
    outcome.reached = display.writeFrame();
    outcome.written = outcome.reached;
    outcome.failure = display.skippedFailure();
    outcome.linha1 = linha1;
    outcome.linha2 = linha2;

    // Remembered only once written, so a display that comes back gets the same text again.
    if (outcome.reached)
        m_last = std::move(cut);
    return outcome;
}
