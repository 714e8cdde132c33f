#include "window/check_row.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <utility>

CheckRow::CheckRow(const QString& buttonName, const QString& caption, const QString& labelName,
                   const QString& help, QWidget* parent)
    : QWidget(parent), m_button(new QPushButton(caption)), m_outcome(new QLabel)
{
    m_button->setObjectName(buttonName);
    m_button->setToolTip(help);
    m_outcome->setObjectName(labelName);
    m_outcome->setWordWrap(true);
    // A word longer than the row (a device's path) is cut at the edge rather than widen the
    // window; the text can still be selected whole.
    m_outcome->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_outcome->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_button);
    layout->addWidget(m_outcome, 1);
    connect(m_button, &QPushButton::clicked, this, [this] {
        m_button->setEnabled(false);
        m_outcome->setStyleSheet(QString());
        m_outcome->setText(QStringLiteral("A testar…"));
        m_forgotten = false;
        emit started();
    });
}

void CheckRow::showOutcome(bool passed, const QString& text)
{
    m_button->setEnabled(true);
    if (std::exchange(m_forgotten, false)) {
        m_outcome->clear();
        return;
    }
    m_outcome->setStyleSheet(passed ? QStringLiteral("color: #006400;")
                                    : QStringLiteral("color: #b00000;"));
    m_outcome->setText(text);
}

void CheckRow::forget()
{
    if (m_button->isEnabled())
        m_outcome->clear();
    else
        m_forgotten = true;
}
