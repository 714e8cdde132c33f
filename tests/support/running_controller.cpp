#include "running_controller.h"

#include <QLabel>

RunningController::RunningController(const QString& folder)
    : m_controller(folder), m_menu(m_controller)
{
    MessageQueue& queue = m_controller.queue();
    QObject::connect(&queue, &MessageQueue::rowsInserted, &m_menu,
                     [this, &queue](const QModelIndex&, int first, int last) {
                         for (int row = first; row <= last; ++row)
                             m_added.append(queue.at(row).linha1);
                     });
    m_controller.setCriticalMessageHandler([this](const QString& text) {
        m_criticalMessages.append(text);
        if (!m_keepCriticalMessagesOpen)
            m_controller.criticalMessageClosed();
    });
    m_menu.show();
    m_menu.load(QStringLiteral("AUTO"));
}

QString RunningController::lblError()
{
    return m_menu.findChild<QLabel*>(QStringLiteral("lblError"))->text();
}

QStringList RunningController::queued()
{
    QStringList lines;
    for (int row = 0; row < m_controller.queue().count(); ++row)
        lines.append(m_controller.queue().at(row).linha1);
    return lines;
}
