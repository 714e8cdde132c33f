#include "window/steady_label.h"

#include <QLabel>

void setSteadyText(QLabel* label, const QString& text)
{
    const QMargins margins = label->contentsMargins();
    const int margin = 2 * label->margin();
    const QSize needed =
        label->fontMetrics().size(Qt::TextSingleLine, text) +
        QSize(margins.left() + margins.right() + margin, margins.top() + margins.bottom() + margin);
    const QSize kept = needed.expandedTo(label->minimumSize());
    if (label->minimumSize() != kept || label->maximumSize() != kept)
        label->setFixedSize(kept);
    label->setText(text);
}
