#include "window/queue_row_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>

namespace {

// Enough for every cell of a tall list and the rows about to come up; past it, a store starts
// again.
constexpr qsizetype mostLaidOut = 512;

// The text's colour in a cell, as the style draws it. The Windows style makes the highlight of a
// selected row pale and draws the text on it in the text's own colour (the usual white could
// hardly be read there); the others use the palette's highlighted text.
// A style sheet on the window hands the cells to the application's style.
QColor textColour(const QStyleOptionViewItem& cell)
{
    const bool selected = cell.state & QStyle::State_Selected;
    if (selected && QApplication::style()->inherits("QWindowsVistaStyle"))
        return cell.palette.color(QPalette::Active, QPalette::Text);
    const QPalette::ColorGroup group = !(cell.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (cell.state & QStyle::State_Active) ? QPalette::Normal
                                                                             : QPalette::Inactive;
    return cell.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
}

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
    const LaidOut& shown = laidOut(text, area.width(), cell.font);
    painter->save();
    painter->setFont(cell.font);
    painter->setPen(textColour(cell));
    const QRect placed = QStyle::alignedRect(cell.direction, cell.displayAlignment,
                                             QSize(area.width(), shown.height), area);
    painter->drawStaticText(QPoint(area.left(), placed.top()), shown.text);
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

const QueueRowDelegate::LaidOut& QueueRowDelegate::laidOut(const QString& text, int width,
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
    // The style centres the text by the height of its whole line's layout, in whole pixels, which
    // a static text's own size may round the other way.
    QTextLayout line(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::ManualWrap);
    line.setTextOption(option);
    line.beginLayout();
    line.createLine().setLineWidth(width);
    line.endLayout();
    return *m_laidOut.insert(key, {shown, line.boundingRect().size().toSize().height()});
}
