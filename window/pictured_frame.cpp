#include "window/pictured_frame.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionGroupBox>

void PicturedFrame::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::EnabledChange:
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        m_picture = QPixmap();
        break;
    default:
        break;
    }
    QGroupBox::changeEvent(event);
}

void PicturedFrame::paintEvent(QPaintEvent* event)
{
    const qreal ratio = devicePixelRatio();
    if (m_picture.size() != size() * ratio || m_pictureTitle != title()) {
        m_picture = QPixmap(size() * ratio);
        m_picture.setDevicePixelRatio(ratio);
        m_picture.fill(Qt::transparent);
        QPainter painter(&m_picture);
        QStyleOptionGroupBox option;
        initStyleOption(&option);
        style()->drawComplexControl(QStyle::CC_GroupBox, &option, &painter, this);
        m_pictureTitle = title();
    }
    QPainter painter(this);
    for (const QRect& part : event->region())
        painter.drawPixmap(part, m_picture, QRectF(part.topLeft() * ratio, part.size() * ratio));
}
