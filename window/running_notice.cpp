#include "window/running_notice.h"

#include "app/controller.h"
#include "window/window_refresh.h"

#include <QDir>
#include <QGroupBox>

namespace {

using Key = Settings::Key;
using Page = Controller::Page;

QString quoted(const QString& caption)
{
    return QStringLiteral("\"%1\"").arg(caption);
}

} // namespace

RunningNotice::RunningNotice(Controller& controller, QGroupBox* frame, WindowRefresh& windowRefresh)
    : m_controller(controller), m_frame(frame)
{
    setObjectName(QStringLiteral("lblAviso"));
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    // The settings file's path is copied from here as it stands.
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The settings file's path, longer than the page, is cut at the edge rather than widen
    // the window.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setStyleSheet(
        QStringLiteral("QLabel#lblAviso { background: #fff6d5; border: 1px solid #e0c060; "
                       "padding: 6px; }"));
    connect(&controller, &Controller::pageChanged, this, &RunningNotice::refresh);
    connect(&controller.status(), &Status::captionChanged, this,
            [this, &windowRefresh] { windowRefresh.post(this, [this] { refresh(); }); });
    connect(&controller.settings(), &Settings::changed, this, [this](Key key) {
        if (key == Key::LigaSQL || key == Key::LigaFicheiros)
            refresh();
    });
    refresh();
}

void RunningNotice::refresh()
{
    const QString text = notice();
    setText(text);
    setVisible(!text.isEmpty());
    m_frame->setTitle(m_controller.status().caption());
}

QString RunningNotice::notice() const
{
    if (m_controller.firstStart())
        // The path on a line of its own: within a line the text may break after its drive's
        // colon, leaving "C:" apart from the rest.
        return QStringLiteral(
                   "Primeira utilização: ainda não há configuração. As definições ficam gravadas, "
                   "quando carregar em %2, no ficheiro\n%1\nComece por %3 (a porta e o modelo do "
                   "display), depois %4 (de onde vêm as mensagens: a base de dados, uma pasta ou "
                   "as duas) e, por fim, carregue em %5.")
            .arg(QDir::toNativeSeparators(m_controller.configPath()),
                 quoted(QStringLiteral("Gravar Conteúdos")),
                 quoted(QStringLiteral("Definição do Display")),
                 quoted(QStringLiteral("Ligação ao Servidor de SQL")),
                 quoted(QStringLiteral("Executar")));
    if (m_controller.page() != Page::Executando)
        return QStringLiteral("A leitura de mensagens está parada: carregue em %1 para a começar.")
            .arg(quoted(QStringLiteral("Executar")));
    if (m_controller.tmrVerifica().interval() == 0)
        return QStringLiteral("A leitura de mensagens está parada: %1 é 0 em %2.")
            .arg(quoted(Settings::caption(Key::SegundosTimerSQL)),
                 quoted(QStringLiteral("Configurações Gerais")));
    const Settings& settings = m_controller.settings();
    if (!settings.ligaSQL() && !settings.ligaFicheiros())
        return QStringLiteral("Nenhuma fonte de mensagens está ligada: escolha %1 ou %2 em %3.")
            .arg(quoted(Settings::caption(Key::LigaSQL)),
                 quoted(Settings::caption(Key::LigaFicheiros)),
                 quoted(QStringLiteral("Ligação ao Servidor de SQL")));
    return {};
}
