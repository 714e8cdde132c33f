#include "rotation/rotation.h"

#include "core/failure.h"
#include "core/log.h"
#include "core/message_queue.h"
#include "core/settings_snapshots.h"
#include "core/status.h"
#include "display/display_dispatch.h"

#include <QLocale>

namespace {

const QString dateTimeKeyword = QStringLiteral("#DataHora#");
constexpr int idleTextTicked = 1;

} // namespace

Rotation::Rotation(MessageQueue& queue, Status& status, DisplayDispatch& dispatch)
    : m_queue(queue), m_status(status), m_dispatch(dispatch)
{
}

QString Rotation::dateTimeLine(const QDateTime& moment)
{
    const QLocale locale = QLocale::system();
    return locale.toString(moment.date(), QStringLiteral("dd MMMM")) + QStringLiteral("  ") +
           locale.toString(moment.time(), QStringLiteral("hh:mm"));
}

void Rotation::tick(const RotationSettings& settings, const DisplaySettings& display)
{
    m_status.setError(runTrapped([&] { showNext(settings, display); }), Status::Handler::Rotation);
}

void Rotation::showNext(const RotationSettings& settings, const DisplaySettings& display)
{
    if (m_queue.count() > 0) {
        const QueuedMessage message = m_queue.takeSelected();
        m_dispatch.LancaNoDisplay(display, message.linha1, message.linha2);
        // It is gone from its source already: a message the display did not get waits at the
        // top for the next tick instead of being lost.
        if (!m_dispatch.failure().isEmpty())
            m_queue.putBack(message);
        else
            qCDebug(lcMostrela).noquote() << "Mostrada:" << message.linha1 << '|' << message.linha2;
    } else if (settings.mostraDefault == idleTextTicked) {
        const QString& linha2 = settings.defaultLinha2;
        m_dispatch.LancaNoDisplay(
            display, settings.defaultLinha1,
            linha2.toUpper() == dateTimeKeyword.toUpper() ? dateTimeLine(m_clock()) : linha2);
    } else {
        return;
    }
    if (!m_dispatch.failure().isEmpty())
        throw Failure(m_dispatch.failure());
}
