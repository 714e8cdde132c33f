#pragma once

#include <QWidget>

class Controller;
class QFrame;
class QLabel;
class WindowRefresh;

// What the display shows, drawn as a display: two rows of NumLetras cells in a monospaced
// font, bright on dark, holding the lines exactly as they last went out (folded, cut and
// trimmed). Under it, in red, why the last write did not reach the display, until one does. Both
// are shown at the window's refreshes.
class DisplayPreview : public QWidget {
    Q_OBJECT
public:
    DisplayPreview(Controller& controller, WindowRefresh& refresh, QWidget* parent = nullptr);

private:
    void showLines(const QString& linha1, const QString& linha2);
    void showFailure(const QString& failure);
    // The rows as wide as NumLetras cells, as it stands.
    void fitWidth();

    Controller& m_controller;
    WindowRefresh& m_refresh;
    QFrame* m_face;
    QLabel* m_rows[2];
    QLabel* m_failure;
};
