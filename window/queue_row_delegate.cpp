#include "window/queue_row_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace {

// Enough for every cell of a tall list and the rows about to come up; past it, a store starts
// again.
constexpr qsizetype mostLaidOut = 512;

} // namespace

void QueueRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QString text = cell.text;
    cell.text.clear();
    const QWidget* widget = option.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    // The background, the selection and the focus frame, as for any cell.
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
    if (text.isEmpty())
        return;

    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, widget)
                           .adjusted(margin, 0, -margin, 0);
    const QStaticText& shown = laidOut(text, area.width(), cell.font);
    const QPalette::ColorGroup group = !(cell.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (cell.state & QStyle::State_Active) ? QPalette::Normal
                                                                             : QPalette::Inactive;
    painter->save();
    painter->setFont(cell.font);
    painter->setPen(cell.palette.color(
        group, (cell.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
    const QSizeF size = shown.size();
    painter->drawStaticText(QPointF(area.left(), area.top() + (area.height() - size.height()) / 2),
                            shown);
    painter->restore();
}

QSize QueueRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QString key = option.font.key() + u'\n' + index.data().toString();
    if (const auto found = m_sizes.constFind(key); found != m_sizes.cend())
        return *found;
    if (m_sizes.size() >= mostLaidOut)
        m_sizes.clear();
    return *m_sizes.insert(key, QStyledItemDelegate::sizeHint(option, index));
}

const QStaticText& QueueRowDelegate::laidOut(const QString& text, int width,
                                             const QFont& font) const
{
    const QString key = QString::number(width) + u'\n' + font.key() + u'\n' + text;
    if (const auto found = m_laidOut.constFind(key); found != m_laidOut.cend())
        return *found;
    if (m_laidOut.size() >= mostLaidOut)
        m_laidOut.clear();
    QStaticText shown(QFontMetrics(font).elidedText(text, Qt::ElideRight, width));
    shown.setTextFormat(Qt::PlainText);
    shown.setTextWidth(-1);
    shown.prepare(QTransform(), font);
    return *m_laidOut.insert(key, shown);
}
