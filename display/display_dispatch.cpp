#include "display/display_dispatch.h"

#include "app/settings.h"
#include "common/code_sequence.h"
#include "common/failure.h"
#include "common/numbers.h"
#include "display/cdisplay.h"

namespace {

using Key = Settings::Key;

const QString lineSettings = QStringLiteral("9600,n,8,1");

} // namespace

DisplayDispatch::DisplayDispatch(const Settings& settings, SerialPort& mscDisplay)
    : m_settings(settings), m_mscDisplay(mscDisplay)
{
}

void DisplayDispatch::LancaNoDisplay(QString linha1, QString linha2)
{
    m_failure.clear();
    const QString porta = m_settings.text(Key::Porta);
    qint16 width = 0; // a width that is not a number empties both lines
    runSkippingFailure([&] { width = toInt16(m_settings.text(Key::NumLetras)); });
    const qint32 alignment = 0;

    // A negative width cuts nothing.
    if (width >= 0) {
        linha1.truncate(width);
        linha2.truncate(width);
    }
    if (linha1 + linha2 == UltimaLinha1 + UltimaLinha2)
        return;
    // The lines as cut: Linha hands them back folded and trimmed.
    const QString cut1 = linha1;
    const QString cut2 = linha2;

    cDisplay display;
    display.ctrlInterface(&m_mscDisplay);
    display.SetPortaComm(porta, lineSettings);
    display.ConfigSetComprimentoLinha(width);
    display.ConfigCLSChar(codeSequenceBytes(m_settings.text(Key::Limpa)));
    display.ConfigInitDisplayChar(codeSequenceBytes(m_settings.text(Key::InitMostrador)));
    display.ConfigLinha1IniChar(codeSequenceBytes(m_settings.text(Key::InitLinha1)));
    display.ConfigLinha1FimChar(codeSequenceBytes(m_settings.text(Key::FimLinha1)));
    display.ConfigLinha2IniChar(codeSequenceBytes(m_settings.text(Key::InitLinha2)));
    display.ConfigLinha2FimChar(codeSequenceBytes(m_settings.text(Key::FimLinha2)));
    display.CLSDisplay();
    display.Linha(linha1, alignment, 1);
    display.Linha(linha2, alignment, 2);

    // Remembered only once written, so a display that comes back gets the same text again.
    m_failure = display.skippedFailure();
    if (m_failure.isEmpty()) {
        UltimaLinha1 = cut1;
        UltimaLinha2 = cut2;
    }
}
