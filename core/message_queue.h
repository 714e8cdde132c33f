#pragma once

#include "core/queued_message.h"

#include <QAbstractTableModel>
#include <QItemSelectionModel>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

// The queue of messages waiting for the display, shown by the running page's list (columns
// "Ordem", "Linha - 1", "Linha - 2"), which shares this selection: a row picked by hand is the
// one the rotation takes next. A row appended to an empty queue becomes the selected one.
class MessageQueue : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MessageQueue(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    int count() const { return static_cast<int>(m_rows.size()); }
    const QueuedMessage& at(int row) const { return m_rows.at(row); }
    void append(const QueuedMessage& message);
    // One insert for a whole batch, so the list lays itself out once.
    void appendAll(const QList<QueuedMessage>& messages);

    QItemSelectionModel* selectionModel() { return &m_selection; }
    std::optional<int> selectedRow() const;
    void select(int row);

    // Removes the selected row and returns it, then selects the top row if any is left.
    // Throws Failure when no row is selected; the queue is then left as it was.
    QueuedMessage takeSelected();
    // Puts a message taken with takeSelected() back at the top and selects it, so it is the
    // next to be taken.
    void putBack(const QueuedMessage& message);
    // Removes every message for which `matches` holds and returns them, in order. A selected row
    // that goes leaves the top row selected.
    QList<QueuedMessage> takeAll(const std::function<bool(const QueuedMessage&)>& matches);

private:
    QList<QueuedMessage> m_rows;
    QItemSelectionModel m_selection;
};
