#include "support/program_rig.h"

#include "core/failure.h"
#include "support/usual_display.h"

ProgramRig::ProgramRig()
{
    settings().setText(Settings::Key::Porta, display.slavePath());
}

void ProgramRig::showIdleText()
{
    settings().setMostraDefault(1);
    settings().setText(Settings::Key::Default_Linha1, QStringLiteral("Bem-vindo"));
    settings().setText(Settings::Key::Default_Linha2, QStringLiteral("Aguarde"));
}

QByteArray ProgramRig::idleText()
{
    return usualDisplayMessage("Bem-vindo", "Aguarde");
}

QStringList ProgramRig::withoutWindow() const
{
    return {QStringLiteral("--sem-janela"), QStringLiteral("--pasta"), folder.path()};
}

QString ProgramRig::start(const QStringList& arguments, const ControllerFolder& from)
{
    return runTrapped([&] { controller.start(builtProgram(), from, arguments); });
}

QString ProgramRig::restart()
{
    return runTrapped([&] { controller.restart(); });
}

QString ProgramRig::builtProgram()
{
    return QStringLiteral(MOSTRELA_EXECUTABLE);
}
