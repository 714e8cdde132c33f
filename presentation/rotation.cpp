#include "presentation/rotation.h"

#include "app/settings.h"
#include "app/status.h"
#include "common/failure.h"
#include "common/message_queue.h"
#include "display/display_dispatch.h"

#include <QLocale>

namespace {

using Key = Settings::Key;

const QString dateTimeKeyword = QStringLiteral("#DataHora#");
constexpr int idleTextTicked = 1;

} // namespace

Rotation::Rotation(MessageQueue& queue, const Settings& settings, Status& status,
                   DisplayDispatch& dispatch)
    : m_queue(queue), m_settings(settings), m_status(status), m_dispatch(dispatch)
{
}

QString Rotation::dateTimeLine(const QDateTime& moment)
{
    const QLocale locale = QLocale::system();
    return locale.toString(moment.date(), QStringLiteral("dd MMMM")) + QStringLiteral("  ") +
           locale.toString(moment.time(), QStringLiteral("hh:mm"));
}

void Rotation::tick()
{
    m_status.setError(runTrapped([this] { showNext(); }), Status::Handler::Rotation);
}

void Rotation::showNext()
{
    if (m_queue.count() > 0) {
        const QueuedMessage message = m_queue.takeSelected();
        m_dispatch.LancaNoDisplay(message.linha1, message.linha2);
        // It is gone from its source already: a message the display did not get waits at the
        // top for the next tick instead of being lost.
        if (!m_dispatch.failure().isEmpty())
            m_queue.putBack(message);
    } else if (m_settings.mostraDefault() == idleTextTicked) {
        const QString linha2 = m_settings.text(Key::Default_Linha2);
        m_dispatch.LancaNoDisplay(
            m_settings.text(Key::Default_Linha1),
            linha2.toUpper() == dateTimeKeyword.toUpper() ? dateTimeLine(m_clock()) : linha2);
    } else {
        return;
    }
    if (!m_dispatch.failure().isEmpty())
        throw Failure(m_dispatch.failure());
}
