#include "app/status.h"

void Status::setCaption(const QString& caption)
{
    if (m_caption == caption)
        return;
    m_caption = caption;
    emit captionChanged(caption);
}

void Status::setError(const QString& error)
{
    if (m_error == error)
        return;
    m_error = error;
    emit errorChanged(error);
}
