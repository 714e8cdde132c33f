#include "core/status.h"

void Status::setCaption(const QString& caption)
{
    if (m_caption == caption)
        return;
    m_caption = caption;
    emit captionChanged(caption);
}

void Status::setError(const QString& error, Handler handler)
{
    m_standing.removeIf(
        [handler](const std::pair<Handler, QString>& failure) { return failure.first == handler; });
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
