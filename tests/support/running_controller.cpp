#include "support/running_controller.h"

#include <QLabel>
#include <QMessageBox>

RunningController::RunningController(const QString& folder, DisplayPort* display)
    : m_controller(folder, QString(), display), m_menu(m_controller)
{
    MessageQueue& queue = m_controller.queue();
    QObject::connect(&queue, &MessageQueue::inserted, &m_menu, [this, &queue](int first, int last) {
        for (int row = first; row <= last; ++row)
            m_added.append(queue.at(row).linha1);
    });
    QObject::connect(&m_controller, &Controller::connectionFailed, &m_menu,
                     [this](const QString& text) { m_connectionFailures.append(text); });
    m_menu.show();
    m_menu.load(QStringLiteral("AUTO"));
}

QString RunningController::lblError()
{
    return child<QLabel>(m_menu, QStringLiteral("lblError"))->text();
}

QStringList RunningController::queued()
{
    QStringList lines;
    for (int row = 0; row < m_controller.queue().count(); ++row)
        lines.append(m_controller.queue().at(row).linha1);
    return lines;
}

QString RunningController::connectionBoxText() const
{
    const QMessageBox* box = m_menu.connectionBox();
    return box && box->isVisible() ? box->text() : QString();
}
