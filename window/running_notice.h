#pragma once

#include <QLabel>

class Controller;
class QGroupBox;
class WindowRefresh;

// What the running page says above its list while no messages are read, and why: at the first
// start, where the settings will be saved and what to set first; then that polling waits for
// "Executar", has an interval of 0, or has no source switched on. Hidden while messages are read.
// The running frame's caption is the polling step under way, "Em Execução" between steps and
// before the first.
class RunningNotice : public QLabel {
    Q_OBJECT
public:
    // The polling step's captions come through `refresh`, as often as it shows the window.
    RunningNotice(Controller& controller, QGroupBox* frame, WindowRefresh& windowRefresh);

    // Looks again at the settings file: call after it was read or written.
    void refresh();

private:
    QString notice() const;

    Controller& m_controller;
    QGroupBox* m_frame;
};
