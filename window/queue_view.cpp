#include "window/queue_view.h"

#include "window/queue_columns.h"

#include <QScrollBar>
#include <algorithm>

QueueView::QueueView(QWidget* parent) : QTreeView(parent)
{
    setObjectName(QStringLiteral("lvwLista"));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

QSize QueueView::sizeHint() const
{
    const QSize hint = QTreeView::sizeHint();
    const int whole =
        QueueColumns::wholeWidth(this) + 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    return {std::max(hint.width(), whole), hint.height()};
}
