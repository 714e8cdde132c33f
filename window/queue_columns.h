#pragma once

#include <QObject>
#include <QTimer>

class QTreeView;

// Sizes the queue list's columns to what they show. They start wide enough for a full Ordem and
// a line of the usual display; when rows arrive, the Ordem and line 1 columns widen to the widest
// row on screen, at most once per `delayMs`, and never narrow, so a column the user made wider
// stays so. The last column takes the rest of the width. A header that sizes to its contents
// would look at every row on every change, too slow for a long queue.
class QueueColumns : public QObject {
    Q_OBJECT
public:
    static constexpr int delayMs = 300;

    // Lives as long as `list`, whose model must be set.
    explicit QueueColumns(QTreeView* list);

    // The width of every column at its first size, the last one as wide as line 1.
    static int wholeWidth(const QTreeView* list);

    // Widens the columns now, as the delayed run does.
    void fit();

private:
    QTreeView* m_list;
    QTimer m_delay;
};
