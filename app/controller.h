#pragma once

#include "core/message_queue.h"
#include "core/settings.h"
#include "core/status.h"
#include "core/timer.h"
#include "display/display_dispatch.h"
#include "display/serial_port.h"
#include "intake/polling.h"
#include "rotation/rotation.h"

#include <QObject>
#include <QString>
#include <functional>

// The controller without its window: the settings, the message queue, the status, the two
// timers and the page state, with the handlers that the window's events run.
//
// Glossary: tmrDisplay shows one queued message per tick; tmrVerifica polls the sources;
// "Executar" is the running page, the only page on which polling reads anything.
class Controller : public QObject {
    Q_OBJECT
public:
    enum class Page { None, Display, SQL, Configura, Executando };

    // `folder` holds Mostrela.cfg: the executable's folder in the program, a temporary one in
    // tests.
    explicit Controller(const QString& folder, QObject* parent = nullptr);

    static QString windowTitle();
    QString configPath() const { return m_configPath; }

    Settings& settings() { return m_settings; }
    MessageQueue& queue() { return m_queue; }
    Status& status() { return m_status; }
    // tmrDisplay runs the rotation on every tick, from construction on, whatever the page;
    // tmrVerifica runs the polling.
    Timer& tmrDisplay() { return m_tmrDisplay; }
    Timer& tmrVerifica() { return m_tmrVerifica; }

    Page page() const { return m_page; }
    // A page button pressed: the running page enables polling and applies both intervals again;
    // a settings page disables polling. Failing steps are skipped silently.
    void selectPage(Page page);

    // The window's load after it has been placed: reads Mostrela.cfg, sets both intervals and,
    // when the command line is "AUTO" in any case, selects the running page. The first failure
    // ends the sequence and goes to the failure label.
    void load(const QString& commandLine);

    // Writes every setting to Mostrela.cfg; the outcome goes to the failure label.
    void saveSettings();

    // Shows a critical message to the person at the screen; the window hands in a message box,
    // and without one (an empty handler) the message is logged.
    void setCriticalMessageHandler(std::function<void(const QString&)> handler);
    void showCriticalMessage(const QString& text) const;

signals:
    void pageChanged(Controller::Page page);
    void messageShown(const QString& linha1, const QString& linha2);
    void sourceRead(const QString& source, int messages); // source "SQL" or "Ficheiros"

private:
    void applyInterval(Timer& timer, Settings::Key seconds);

    QString m_configPath;
    Settings m_settings;
    MessageQueue m_queue;
    Status m_status;
    Timer m_tmrDisplay{1000};
    Timer m_tmrVerifica{2000};
    SerialPort m_mscDisplay;
    DisplayDispatch m_dispatch{m_mscDisplay};
    Rotation m_rotation{m_queue, m_status, m_dispatch};
    Page m_page = Page::None;
    std::function<void(const QString&)> m_criticalMessage;
    Polling m_polling;
};
