#include "window/display_server.h"

#include <QString>
#include <cstdio>
#include <cstdlib>

namespace {

QtMessageHandler previousHandler = nullptr;

void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    // Qt's warnings before the fatal message name what failed ("could not connect to display").
    if (type != QtFatalMsg) {
        previousHandler(type, context, message);
        return;
    }
    std::fputs("mostrela: a janela precisa de um servidor gráfico (DISPLAY ou WAYLAND_DISPLAY) e "
               "não encontrou nenhum.\n"
               "Para trabalhar sem janela, como serviço: mostrela --sem-janela [--pasta PASTA]\n",
               stderr);
    std::fflush(stderr);
    // Nothing is held yet (no lock, no spool), and the half-made application must not be
    // destroyed.
    std::_Exit(1);
}

} // namespace

DisplayServerGuard::DisplayServerGuard() : m_previous(qInstallMessageHandler(handle))
{
    previousHandler = m_previous;
}

DisplayServerGuard::~DisplayServerGuard()
{
    qInstallMessageHandler(m_previous);
}
