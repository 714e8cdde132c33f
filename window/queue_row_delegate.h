#pragma once

#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

// Draws the queue list's cells as the style does, their texts from a store of texts already laid
// out, and measures them once. The list moves up a row for each message shown, and every cell on
// screen is drawn again with it; each text would be cut to its column and shaped anew, though it is
// the same as in the last paint one row lower.
class QueueRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // The style's size for the cell, measured once a text: the columns are fitted to the rows on
    // screen a few times a second while messages arrive.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // The text cut to `width` as the style cuts it, laid out in `font`, and the height by which
    // the style places it.
    struct LaidOut {
        QStaticText text;
        int height = 0;
    };
    const LaidOut& laidOut(const QString& text, int width, const QFont& font) const;

    mutable QHash<QString, LaidOut> m_laidOut;
    mutable QHash<QString, QSize> m_sizes;
};
