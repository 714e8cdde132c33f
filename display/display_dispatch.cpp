#include "display/display_dispatch.h"

#include "core/settings_snapshots.h"
#include "display/cdisplay.h"

namespace {

const QString lineSettings = QStringLiteral("9600,n,8,1");

} // namespace

DisplayDispatch::DisplayDispatch(SerialPort& mscDisplay) : m_mscDisplay(mscDisplay) {}

DisplayOutcome DisplayDispatch::LancaNoDisplay(const DisplaySettings& settings, QString linha1,
                                               QString linha2)
{
    DisplayOutcome outcome;
    // A width that cannot be used would blank the message: it waits for one that can.
    if (!settings.numLetras.letters) {
        outcome.reached = false;
        outcome.failure = settings.numLetras.problem();
        return outcome;
    }
    const qint16 width = *settings.numLetras.letters;
    linha1.truncate(width);
    linha2.truncate(width);
    if (linha1 == UltimaLinha1 && linha2 == UltimaLinha2)
        return outcome;
    // The lines as cut: Linha hands them back as they go out.
    const QString cut1 = linha1;
    const QString cut2 = linha2;

    cDisplay display;
    display.ctrlInterface(&m_mscDisplay);
    display.SetPortaComm(settings.porta, lineSettings);
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
    if (outcome.reached) {
        UltimaLinha1 = cut1;
        UltimaLinha2 = cut2;
    }
    return outcome;
}
