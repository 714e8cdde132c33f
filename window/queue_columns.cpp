#include "window/queue_columns.h"

#include <QHeaderView>
#include <QStyle>
#include <QTreeView>
#include <algorithm>

namespace {

constexpr int sizedColumns = 2; // Ordem and line 1; the last column stretches
constexpr int columns = 3;

// The widest Ordem (a database row's date and time) and a line of the usual 20-letter display,
// twice.
const QString samples[columns] = {QStringLiteral("0000-00-00 00:00:00"), QString(20, u'M'),
                                  QString(20, u'M')};

int firstWidth(const QTreeView* list, int column)
{
    const int margin = 2 * list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 12;
    return std::max(list->header()->sectionSizeHint(column),
                    list->fontMetrics().horizontalAdvance(samples[column]) + margin);
}

} // namespace

QueueColumns::QueueColumns(QTreeView* list) : QObject(list), m_list(list)
{
    QHeaderView* header = list->header();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(true);
    for (int column = 0; column < sizedColumns; ++column)
        header->resizeSection(column, firstWidth(list, column));

    m_delay.setSingleShot(true);
    m_delay.setInterval(delayMs);
    connect(&m_delay, &QTimer::timeout, this, &QueueColumns::fit);
    connect(list->model(), &QAbstractItemModel::rowsInserted, this, [this] {
        if (!m_delay.isActive())
            m_delay.start();
    });
}

int QueueColumns::wholeWidth(const QTreeView* list)
{
    int width = 0;
    for (int column = 0; column < columns; ++column)
        width += firstWidth(list, column);
    return width;
}

void QueueColumns::fit()
{
    // The view measures the rows it shows, not the whole model.
    const QAbstractItemView* view = m_list;
    QHeaderView* header = m_list->header();
    for (int column = 0; column < sizedColumns; ++column) {
        const int wanted = view->sizeHintForColumn(column);
        if (wanted > header->sectionSize(column))
            header->resizeSection(column, wanted);
    }
}
