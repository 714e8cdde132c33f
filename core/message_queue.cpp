#include "core/message_queue.h"

#include "core/failure.h"

MessageQueue::MessageQueue(QObject* parent) : QAbstractTableModel(parent), m_selection(this) {}

int MessageQueue::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

int MessageQueue::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant MessageQueue::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const QueuedMessage& message = m_rows.at(index.row());
    // Both lines in full, whichever column is pointed at, where the columns cut them short.
    if (role == Qt::ToolTipRole)
        return message.linha1 + u'\n' + message.linha2;
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case 0:
        return message.ordem;
    case 1:
        return message.linha1;
    case 2:
        return message.linha2;
    default:
        return {};
    }
}

QVariant MessageQueue::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0:
        return QStringLiteral("Ordem");
    case 1:
        return QStringLiteral("Linha - 1");
    case 2:
        return QStringLiteral("Linha - 2");
    default:
        return {};
    }
}

void MessageQueue::append(const QueuedMessage& message)
{
    appendAll({message});
}

void MessageQueue::appendAll(const QList<QueuedMessage>& messages)
{
    if (messages.isEmpty())
        return;
    const int first = count();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(messages.size()) - 1);
    m_rows.append(messages);
    endInsertRows();
    if (first == 0)
        select(0);
}

std::optional<int> MessageQueue::selectedRow() const
{
    const QModelIndexList rows = m_selection.selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    return rows.first().row();
}

void MessageQueue::select(int row)
{
    m_selection.setCurrentIndex(index(row, 0),
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QueuedMessage MessageQueue::takeSelected()
{
    const std::optional<int> row = selectedRow();
    if (!row)
        throw Failure(QStringLiteral("Nenhuma linha da lista está seleccionada"));
    beginRemoveRows(QModelIndex(), *row, *row);
    QueuedMessage message = m_rows.takeAt(*row);
    endRemoveRows();
    if (count() > 0)
        select(0);
    return message;
}

void MessageQueue::putBack(const QueuedMessage& message)
{
    beginInsertRows(QModelIndex(), 0, 0);
    m_rows.prepend(message);
    endInsertRows();
    select(0);
}

QList<QueuedMessage> MessageQueue::takeAll(const std::function<bool(const QueuedMessage&)>& matches)
{
    QList<QueuedMessage> taken;
    const std::optional<int> selected = selectedRow();
    bool selectedTaken = false;
    // From the bottom, one removal a run of matching rows, so the rows above keep their numbers.
    for (int last = count() - 1; last >= 0; --last) {
        if (!matches(m_rows.at(last)))
            continue;
        int first = last;
        while (first > 0 && matches(m_rows.at(first - 1)))
            --first;
        selectedTaken = selectedTaken || (selected && *selected >= first && *selected <= last);
        beginRemoveRows(QModelIndex(), first, last);
        const QList<QueuedMessage> run = m_rows.mid(first, last - first + 1);
        m_rows.remove(first, last - first + 1);
        endRemoveRows();
        taken = run + taken;
        last = first;
    }
    if (selectedTaken && count() > 0)
        select(0);
    return taken;
}
