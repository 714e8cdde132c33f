#pragma once

#include <QAbstractTableModel>
#include <QList>

#include <optional>

class MessageQueue;
class QItemSelectionModel;
class WindowRefresh;

// The message queue as the running page's list shows it, in the columns "Ordem", "Linha - 1" and
// "Linha - 2", each row's tooltip both lines in full. The list catches up with the queue at
// each refresh of the window: the rows the queue gained and lost since the last one reach it then,
// joined into a few changes, so that the list lays itself out and paints once a refresh rather
// than once a message. In between, each of its rows still reads the message it stands for.
//
// A row picked in the list is the queue's selected row at once, the message the rotation takes
// next; the queue's own selection (the top row after each message shown) reaches the list with
// the next refresh.
class QueueListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    QueueListModel(MessageQueue& queue, WindowRefresh& refresh, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The list's selection, over this model's rows.
    void setListSelection(QItemSelectionModel* selection);

private:
    // Rows the queue gained or lost, numbered as the queue's rows were just before.
    struct Change {
        bool inserted;
        int first;
        int count;
    };

    void record(bool inserted, int first, int last);
    // The queue's row that the list's row stands for, none once its message has left the queue.
    std::optional<int> queueRow(int row) const;
    void catchUp();
    void showQueueSelection();
    void listSelectionChanged();

    MessageQueue& m_queue;
    WindowRefresh& m_refresh;
    QItemSelectionModel* m_listSelection = nullptr;
    int m_rows = 0;
    QList<Change> m_changes;
    // Too many changes gathered (the window was away for long): the list is rebuilt instead.
    bool m_rebuild = false;
    bool m_catchingUp = false;
};
