#include "core/status.h"

#include "core/log.h"

#include <algorithm>

namespace {

QString handlerName(Status::Handler handler)
{
    switch (handler) {
    case Status::Handler::SettingsFile:
        return QStringLiteral("Mostrela.cfg");
    case Status::Handler::Rotation:
        return QStringLiteral("display");
    case Status::Handler::Database:
        return QStringLiteral("base de dados");
    case Status::Handler::Polling:
        break;
    }
    return QStringLiteral("fontes");
}

// Only changes reach the log: a source that keeps failing on every tick is one line, not one a
// tick.
void logChange(Status::Handler handler, const QString& before, const QString& after)
{
    if (after == before)
        return;
    if (after.isEmpty()) {
        qCInfo(lcMostrela).noquote() << handlerName(handler) + QStringLiteral(": recuperado");
        forgetQtWarnings();
    } else {
        qCWarning(lcMostrela).noquote() << handlerName(handler) + QStringLiteral(": ") + after;
    }
}

} // namespace

void Status::setCaption(const QString& caption)
{
    if (m_caption == caption)
        return;
    m_caption = caption;
    emit captionChanged(caption);
}

void Status::setError(const QString& error, Handler handler)
{
    const auto ofHandler = [handler](const std::pair<Handler, QString>& failure) {
        return failure.first == handler;
    };
    const auto earlier = std::find_if(m_standing.cbegin(), m_standing.cend(), ofHandler);
    logChange(handler, earlier == m_standing.cend() ? QString() : earlier->second, error);

    m_standing.removeIf(ofHandler);
    if (!error.isEmpty())
        m_standing.append({handler, error});
    const QString shown = m_standing.isEmpty() ? QString() : m_standing.last().second;
    if (m_error == shown)
        return;
    m_error = shown;
    emit errorChanged(shown);
}

QString Status::standingError(Handler handler) const
{
    for (const auto& [owner, error] : m_standing) {
        if (owner == handler)
            return error;
    }
    return {};
}

void Status::setWaiting(qsizetype waiting)
{
    if (m_waiting == waiting)
        return;
    m_waiting = waiting;
    emit countsChanged(m_waiting, m_dropped);
}

void Status::addDropped(qsizetype dropped)
{
    if (dropped == 0)
        return;
    m_dropped += dropped;
    emit countsChanged(m_waiting, m_dropped);
}
