#pragma once

#include "support/controller_folder.h"
#include "support/memory_port.h"
#include "support/running_controller.h"

#include <QDateTime>

#include <memory>

class OdbcFixture;

// A shop set up for a test: a ControllerFolder whose display is a port in memory, and the
// controller with its window started over them, as the program starts with "AUTO".
struct ControllerRig {
    ControllerFolder folder;
    MemoryPort display;

    // Writes Mostrela.cfg with the display as its port and starts the controller afresh over it.
    RunningController& start();
    // start() with the drop folder as a source.
    RunningController& startOnFiles()
    {
        folder.settings().setLigaFicheiros(true);
        return start();
    }
    RunningController& running() { return *m_running; }
    // The running controller's settings, which the window's fields edit.
    Settings& settings() { return m_running->controller().settings(); }
    void stop() { m_running.reset(); }

    // Leaves a row for the controller's user in the test database, a second after the last one.
    void insert(OdbcFixture& odbc, const QString& linha1, const QString& linha2 = {});
    // "Mensagem 07" for 7: lines that sort as their numbers do.
    static QString numbered(int number) { return QString::asprintf("Mensagem %02d", number); }
    // Drops one file a message, numbered on from `first`, in name order; returns their lines.
    QStringList dropNumbered(int count, int first = 1);

private:
    std::unique_ptr<RunningController> m_running;
    QDateTime m_dataSys{QDate(2024, 3, 9), QTime(10, 0)};
};
