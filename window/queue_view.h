#pragma once

#include <QTreeView>

// The running page's list of waiting messages, one row each, with no tree to unfold. Its size
// hint is wide enough for every column at its first size, "Linha - 2" included, so that the
// window opens showing them whole.
class QueueView : public QTreeView {
    Q_OBJECT
public:
    explicit QueueView(QWidget* parent = nullptr);

    QSize sizeHint() const override;
};
