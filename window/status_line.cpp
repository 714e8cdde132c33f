#include "window/status_line.h"

#include "window/elided_label.h"

StatusLine::StatusLine(QWidget* parent)
    : QStatusBar(parent), m_said(new ElidedLabel(QStringLiteral("lblMensagemEstado")))
{
    setObjectName(QStringLiteral("barraEstado"));
    setSizeGripEnabled(false);
    addWidget(m_said, 1);
    m_forget.setSingleShot(true);
    m_forget.setInterval(sayMs);
    connect(&m_forget, &QTimer::timeout, m_said, &QLabel::clear);
}

void StatusLine::say(const QString& text)
{
    m_said->setText(text);
    m_forget.start();
}

QString StatusLine::said() const
{
    return m_said->text();
}
