#pragma once

#include "core/message_queue.h"
#include "core/settings.h"
#include "core/status.h"
#include "core/timer.h"
#include "core/worker_thread.h"
#include "rotation/display_writer.h"
#include "rotation/rotation.h"
#include "spool/queue_feed.h"
#include "spool/spool.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class SourceWorkers;
struct ConnectionTest;
struct PollResult;

// The controller without its window: the settings, the message queue and its spool, the status,
// the two timers and the page state, with the handlers that the window's events run. Each source
// is read on a thread of its own and the display is written on the display's thread: nothing
// here waits for the outside world. Its end never waits for a source either: the program's end
// (a signal, logoff, the window closed) stops the sources at their next file, row or batch, and
// leaves behind a source still held up by a login or a statement.
class Controller : public QObject {
    Q_OBJECT
public:
    enum class Page { None, Display, SQL, Configura, Executando };

    // `folder` holds Mostrela.cfg, and the spool `fila` unless `spoolFolder` names another.
    // The spool's messages, left by an earlier run, are queued first: a large spool a batch at a
    // time from the event loop, the first batch at once, and no source polled until it is all
    // read. The queue holds the first thousand messages; the rest wait in the spool. The program
    // makes sure first that no other controller works on the same folders.
    // The display is written through its serial port, or through `display` when one is lent
    // (see DisplayWriter).
    explicit Controller(const QString& folder, const QString& spoolFolder = QString(),
                        DisplayPort* display = nullptr);
    ~Controller() override;

    // The version, as a technician reads it from the title: "[Ver 1.1]" for 1.1.0. The folders
    // are told by the status bar, so that scripts that look for the window by its title find it.
    QString windowTitle() const;
    QString configPath() const { return m_configPath; }
    QString spoolFolder() const;

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
    // ends the sequence and goes to the failure label. No Mostrela.cfg at all is the first
    // start, no failure: the sequence ends there too, so that nothing runs before the settings
    // are set.
    void load(const QString& commandLine);
    // No Mostrela.cfg was found at the load, and none has been saved since.
    bool firstStart() const { return m_firstStart; }

    // Writes every setting to Mostrela.cfg; the outcome goes to the failure label.
    void saveSettings();

    // Sends a test message (the width ruler and the time) with the display settings as they
    // stand, through the display's thread; the queue stays as it is, and the rotation's next
    // message goes out whatever it is. Settings that the window marks as unusable send nothing.
    // Answers with displayTested().
    void testDisplay();
    // Connects with the SQL settings as they stand, on the database's thread (after a polling
    // step under way), and counts the SQL user's waiting rows without taking them. Answers with
    // connectionTested().
    void testConnection();

signals:
    void pageChanged(Controller::Page page);
    // Every source's polling step under way has ended and its messages are in the queue.
    void pollingFinished();
    // The database could not be connected to: the text for the person at the screen. Once a
    // failure: ticks that go on failing the same way say nothing more. The failure label and
    // the log show it too.
    void connectionFailed(const QString& text);
    // A tick connected again after connectionFailed().
    void connectionRestored();
    // A source was read: "SQL" or "Ficheiros", and how many messages it gave.
    void sourceRead(const QString& source, int messages);
    // A source's step failed (the failure label says why), after taking `messages` (-1 when it
    // was not read at all).
    void sourceFailed(const QString& source, int messages);
    // What the display was last sent, as it went out.
    void messageShown(const QString& linha1, const QString& linha2);
    // A write, of a message or a test, that did not reach the display.
    void displayFailed(const QString& failure);
    void displayTested(bool reached, const QString& text);
    void connectionTested(bool passed, const QString& text);

private:
    void applyInterval(Timer& timer, Settings::Key seconds);
    void loadSpoolBatch();
    void reportWaiting();
    void poll();
    void reportRead(const QString& source, const PollResult& result);
    void databasePolled(const PollResult& result);
    void dropFolderPolled(const PollResult& result);
    void displayTestWritten(quint64 id, const DisplayOutcome& outcome);

    QString m_configPath;
    Settings m_settings;
    MessageQueue m_queue;
    Status m_status;
    Timer m_tmrDisplay{1000};
    Timer m_tmrVerifica{2000};
    // Shared with the sources: one left running at the end still has it.
    std::shared_ptr<Spool> m_spool;
    Page m_page = Page::None;
    bool m_firstStart = false;
    QString m_connectionFailure; // the failure told, until a tick connects again
    quint64 m_displayTestId = 0;
    // After the queue, the status and the spool, so that its thread ends before what it reports
    // to.
    WorkerThread<DisplayWriter> m_display;
    Rotation m_rotation{m_queue, m_status, *m_display.worker()};
    QueueFeed m_feed{m_queue, *m_spool};
    std::unique_ptr<SourceWorkers> m_sources;
    QTimer m_spoolLoading;
    qsizetype m_spoolRecovered = 0;
};
