#pragma once

#include <QGroupBox>
#include <QPixmap>

// A group box that draws its frame and title once for each size, title and look, and repaints
// from that picture. The labels inside the running page change on every tick; each of their
// repaints shows the frame behind them, and the style draws a whole frame (its title shaped, its
// border image looked up) however small the part to show.
class PicturedFrame : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
    QString m_pictureTitle;
};
