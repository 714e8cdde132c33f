#pragma once

#include <QLabel>

// A label of one line that never asks for more width than an ellipsis: a text wider than the
// label is drawn cut with "…", and its tooltip then holds it whole. text() stays the whole text,
// so a long message or failure never widens the window.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(const QString& name, QWidget* parent = nullptr);

    // The text as drawn at the label's present width.
    QString shownText() const;

    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
