#pragma once

#include <QStatusBar>
#include <QTimer>

class ElidedLabel;

// The window's status bar: what the latest action did, for a while, on the left; the widgets
// added as permanent on the right. Its texts are cut to the width there is, so none widens the
// window.
class StatusLine : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int sayMs = 20000;

    explicit StatusLine(QWidget* parent = nullptr);

    // Shows `text` for sayMs, or until the next.
    void say(const QString& text);
    // What is shown, whole; empty once it has gone.
    QString said() const;

private:
    ElidedLabel* m_said;
    QTimer m_forget;
};
