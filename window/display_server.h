#pragma once

#include <QtGlobal>

// Qt aborts the program when it finds no display server to open the window on (exit 134, with
// advice to reinstall). While an object of this class lives, that end says instead that the
// window needs a display server, names --sem-janela, and exits with status 1. Made just before
// the QApplication and dropped once it exists.
class DisplayServerGuard {
public:
    DisplayServerGuard();
    ~DisplayServerGuard();
    DisplayServerGuard(const DisplayServerGuard&) = delete;
    DisplayServerGuard& operator=(const DisplayServerGuard&) = delete;

private:
    QtMessageHandler m_previous;
};
