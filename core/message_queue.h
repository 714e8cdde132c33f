#pragma once

#include "core/queued_message.h"

#include <QList>
#include <QObject>
#include <functional>
#include <optional>

// The queue of messages waiting for the display, with its selected row: the one the rotation
// takes next, the top row unless one was picked by hand. A row appended to an empty queue becomes
// the selected one; with none selected (a click can take the selection away) the top row goes. Each
// change is announced once, however many rows it holds, so that whoever follows the queue (the
// running page's list) hears of a batch once rather than once a message.
class MessageQueue : public QObject {
    Q_OBJECT
public:
    explicit MessageQueue(QObject* parent = nullptr);

    int count() const { return static_cast<int>(m_rows.size()); }
    const QueuedMessage& at(int row) const { return m_rows.at(row); }
    void append(const QueuedMessage& message);
    // One change for a whole batch.
    void appendAll(const QList<QueuedMessage>& messages);

    std::optional<int> selectedRow() const { return m_selected; }
    // A row past the end leaves none selected.
    void select(int row);
    void clearSelection();

    // Removes the selected row, or the top row when none is selected, and returns it, then
    // selects the top row if any is left. The queue must not be empty.
    QueuedMessage takeSelected();
    // Puts a message taken with takeSelected() back at the top and selects it, so it is the
    // next to be taken.
    void putBack(const QueuedMessage& message);
    // Removes every message for which `matches` holds and returns them, in order. A selected row
    // that goes leaves the top row selected; one that stays keeps its message.
    QList<QueuedMessage> takeAll(const std::function<bool(const QueuedMessage&)>& matches);

signals:
    // Rows first to last are new.
    void inserted(int first, int last);
    // Rows first to last, as they were numbered just before, are gone.
    void removed(int first, int last);
    // Another row is selected, or none; not announced when rows come or go around it.
    void selectionChanged();

private:
    void setSelected(std::optional<int> row);

    QList<QueuedMessage> m_rows;
    std::optional<int> m_selected;
};
