#include "window/queue_list_model.h"

#include "core/message_queue.h"
#include "window/window_refresh.h"

#include <QItemSelectionModel>
#include <QScopedValueRollback>

namespace {

// Beyond this many changes between two refreshes, rebuilding the list costs less than replaying
// them, and their record stays small however long the window is away.
constexpr qsizetype mostChanges = 64;

enum Column { Ordem, Linha1, Linha2, Columns };

} // namespace

QueueListModel::QueueListModel(MessageQueue& queue, WindowRefresh& refresh, QObject* parent)
    : QAbstractTableModel(parent), m_queue(queue), m_refresh(refresh), m_rows(queue.count())
{
    connect(&queue, &MessageQueue::inserted, this,
            [this](int first, int last) { record(true, first, last); });
    connect(&queue, &MessageQueue::removed, this,
            [this](int first, int last) { record(false, first, last); });
    connect(&queue, &MessageQueue::selectionChanged, &refresh, &WindowRefresh::request);
    connect(&refresh, &WindowRefresh::refreshing, this, &QueueListModel::catchUp);
}

int QueueListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int QueueListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Columns;
}

QVariant QueueListModel::data(const QModelIndex& index, int role) const
{
    const std::optional<int> row = index.isValid() ? queueRow(index.row()) : std::nullopt;
    if (!row)
        return {};
    const QueuedMessage& message = m_queue.at(*row);
    // Both lines in full, whichever column is pointed at, where the columns cut them short.
    if (role == Qt::ToolTipRole)
        return message.linha1 + u'\n' + message.linha2;
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case Ordem:
        return message.ordem;
    case Linha1:
        return message.linha1;
    case Linha2:
        return message.linha2;
    default:
        return {};
    }
}

QVariant QueueListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Ordem:
        return QStringLiteral("Ordem");
    case Linha1:
        return QStringLiteral("Linha - 1");
    case Linha2:
        return QStringLiteral("Linha - 2");
    default:
        return {};
    }
}

void QueueListModel::setListSelection(QItemSelectionModel* selection)
{
    m_listSelection = selection;
    connect(selection, &QItemSelectionModel::selectionChanged, this,
            &QueueListModel::listSelectionChanged);
    showQueueSelection();
}

void QueueListModel::record(bool inserted, int first, int last)
{
    m_refresh.request();
    if (m_rebuild)
        return;
    const int count = last - first + 1;
    if (!m_changes.isEmpty()) {
        // A batch appended after another, or one row after another taken from the same place.
        Change& previous = m_changes.last();
        const bool follows =
            inserted ? previous.first + previous.count == first : previous.first == first;
        if (previous.inserted == inserted && follows) {
            previous.count += count;
            return;
        }
    }
    m_changes.append({inserted, first, count});
    if (m_changes.size() > mostChanges) {
        m_changes.clear();
        m_rebuild = true;
    }
}

std::optional<int> QueueListModel::queueRow(int row) const
{
    if (!m_rebuild) {
        for (const Change& change : m_changes) {
            if (row < change.first)
                continue;
            if (change.inserted)
                row += change.count;
            else if (row < change.first + change.count)
                return std::nullopt;
            else
                row -= change.count;
        }
    }
    return row < m_queue.count() ? std::optional(row) : std::nullopt;
}

void QueueListModel::catchUp()
{
    const QScopedValueRollback<bool> catchingUp(m_catchingUp, true);
    if (std::exchange(m_rebuild, false)) {
        beginResetModel();
        m_rows = m_queue.count();
        endResetModel();
    }
    // Each change is taken off the record before the list hears it has happened, so that the
    // rows left to catch up with still read the right messages.
    while (!m_changes.isEmpty()) {
        const Change change = m_changes.first();
        const int last = change.first + change.count - 1;
        if (change.inserted) {
            beginInsertRows(QModelIndex(), change.first, last);
            m_changes.removeFirst();
            m_rows += change.count;
            endInsertRows();
        } else {
            beginRemoveRows(QModelIndex(), change.first, last);
            m_changes.removeFirst();
            m_rows -= change.count;
            endRemoveRows();
        }
    }
    showQueueSelection();
}

void QueueListModel::showQueueSelection()
{
    if (!m_listSelection)
        return;
    const QScopedValueRollback<bool> catchingUp(m_catchingUp, true);
    const std::optional<int> row = m_queue.selectedRow();
    if (!row) {
        m_listSelection->clearSelection();
        return;
    }
    if (m_listSelection->currentIndex().row() == *row && m_listSelection->isRowSelected(*row))
        return;
    m_listSelection->setCurrentIndex(index(*row, 0), QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
}

void QueueListModel::listSelectionChanged()
{
    if (m_catchingUp)
        return;
    const QModelIndexList picked = m_listSelection->selectedRows();
    if (picked.isEmpty()) {
        m_queue.clearSelection();
        return;
    }
    // A row whose message has just been shown is gone: the queue keeps its own selection.
    if (const std::optional<int> row = queueRow(picked.first().row()))
        m_queue.select(*row);
}
