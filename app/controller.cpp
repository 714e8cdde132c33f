#include "app/controller.h"

#include "app/config_file.h"
#include "app/setup_checks.h"
#include "app/source_workers.h"
#include "core/failure.h"
#include "core/log.h"
#include "core/numbers.h"
#include "core/settings_snapshots.h"
#include "intake/abrir_ligacao.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QTime>

namespace {

// How long the end of the program waits for the sources' steps under way: each stops at its next
// file, row or batch, so only a login or a statement held up by the outside world takes longer.
constexpr int sourcesStopMs = 1000;
// Spool entries read in one go: a few milliseconds' work, so the window and the display keep
// their pace while a large spool is read.
constexpr qsizetype spoolBatch = 1000;

QString timeOfDay()
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
}

} // namespace

Controller::Controller(const QString& folder, const QString& spoolFolder, DisplayPort* display)
    : m_configPath(QDir(folder).filePath(QStringLiteral("Mostrela.cfg"))),
      m_spool(std::make_shared<Spool>(
          spoolFolder.isEmpty() ? QDir(folder).filePath(QStringLiteral("fila")) : spoolFolder)),
      m_display(m_spool.get(), display)
{
    // Named for its settings folder on the database server: the controller locked out of a SQL
    // user's rows can say which one holds them.
    m_sources = std::make_unique<SourceWorkers>(
        m_spool, QList<QueuedMessage>(),
        QStringLiteral("mostrela ") +
            QDir::toNativeSeparators(QFileInfo(folder).absoluteFilePath()));
    loadSpoolBatch();
    // The rest at the event loop's pace, a batch at a time, while the first are shown.
    m_spoolLoading.setInterval(0);
    connect(&m_spoolLoading, &QTimer::timeout, this, &Controller::loadSpoolBatch);
    if (!m_spool->allLoaded())
        m_spoolLoading.start();

    connect(m_sources.get(), &SourceWorkers::captionChanged, &m_status, &Status::setCaption);
    connect(m_sources.get(), &SourceWorkers::taken, this,
            [this](const QList<QueuedMessage>& messages) {
                m_feed.enqueue(messages);
                reportWaiting();
            });
    connect(m_sources.get(), &SourceWorkers::databasePolled, this, &Controller::databasePolled);
    connect(m_sources.get(), &SourceWorkers::dropFolderPolled, this, &Controller::dropFolderPolled);
    connect(m_sources.get(), &SourceWorkers::idle, this, &Controller::pollingFinished);
    connect(m_sources.get(), &SourceWorkers::connectionTested, this,
            [this](const ConnectionTest& result) {
                emit connectionTested(connectionTestPassed(result), connectionTestText(result));
            });
    // The end starts here, before the windows close and the objects go.
    if (QCoreApplication* application = QCoreApplication::instance())
        connect(application, &QCoreApplication::aboutToQuit, m_sources.get(),
                &SourceWorkers::requestStop);
    m_rotation.setFeed(&m_feed);
    connect(&m_rotation, &Rotation::displayed, this, &Controller::messageShown);
    connect(&m_rotation, &Rotation::writeFailed, this, &Controller::displayFailed);
    connect(&m_rotation, &Rotation::expired, this, [this] { m_feed.refill(); });
    // The queue's rows come and go with the rotation, the refills and the messages taken.
    connect(&m_queue, &MessageQueue::inserted, this, &Controller::reportWaiting);
    connect(&m_queue, &MessageQueue::removed, this, &Controller::reportWaiting);
    connect(m_display.worker(), &DisplayWriter::testWritten, this, &Controller::displayTestWritten);

    connect(&m_tmrDisplay, &Timer::tick, this, [this] {
        // What fails here (memory, the spool's disk) ends this tick alone, and says so; a clean
        // tick leaves the display's own failure standing until a write gets through.
        const QString error = runTrapped([this] {
            m_feed.refill();
            m_rotation.tick(rotationSettings(m_settings), displaySettings(m_settings));
        });
        if (!error.isEmpty())
            m_status.setError(error, Status::Handler::Rotation);
    });
    connect(&m_tmrVerifica, &Timer::tick, this, &Controller::poll);
}

Controller::~Controller()
{
    m_sources->end(QDeadlineTimer(sourcesStopMs));
}

QString Controller::windowTitle() const
{
    // Major and minor only: version 1.1.0 reads "1.1".
    return QStringLiteral("Controlador de Display       [Ver %1.%2]")
        .arg(MOSTRELA_VERSION_MAJOR)
        .arg(MOSTRELA_VERSION_MINOR);
}

QString Controller::spoolFolder() const
{
    return m_spool->folder();
}

void Controller::selectPage(Page page)
{
    m_page = page;
    if (page == Page::Executando) {
        m_tmrVerifica.setEnabled(true);
        runSkippingFailure(
            [this] { applyInterval(m_tmrVerifica, Settings::Key::SegundosTimerSQL); });
        runSkippingFailure(
            [this] { applyInterval(m_tmrDisplay, Settings::Key::SegundosTimerDisplay); });
    } else {
        m_tmrVerifica.setEnabled(false);
        m_sources->rest();
    }
    emit pageChanged(page);
}

void Controller::applyInterval(Timer& timer, Settings::Key seconds)
{
    timer.setInterval(millisecondsFromSeconds(m_settings.text(seconds)));
}

void Controller::load(const QString& commandLine)
{
    const QString error = runTrapped([&] {
        // A link to no file yet counts too: a save writes the file it names.
        m_firstStart = !QFileInfo::exists(m_configPath);
        if (m_firstStart) {
            qCInfo(lcMostrela).noquote()
                << QStringLiteral(
                       "Ainda não há %1: valores iniciais até a configuração ser gravada")
                       .arg(QDir::toNativeSeparators(m_configPath));
            return;
        }
        readConfigFile(m_configPath, m_settings);
        applyInterval(m_tmrVerifica, Settings::Key::SegundosTimerSQL);
        applyInterval(m_tmrDisplay, Settings::Key::SegundosTimerDisplay);
        if (commandLine.toUpper() == QStringLiteral("AUTO")) {
            QCoreApplication::processEvents();
            selectPage(Page::Executando);
        }
    });
    m_status.setError(error, Status::Handler::SettingsFile);
}

void Controller::saveSettings()
{
    const QString error = runTrapped([this] { writeConfigFile(m_configPath, m_settings); });
    m_status.setError(error, Status::Handler::SettingsFile);
    if (error.isEmpty())
        m_firstStart = false;
}

void Controller::testDisplay()
{
    if (const QString refusal = displayTestRefusal(m_settings); !refusal.isEmpty()) {
        emit displayTested(false, refusal);
        return;
    }
    const DisplaySettings settings = displaySettings(m_settings);
    const QString linha1 = widthRuler(settings.numLetras);
    const QString linha2 = timeOfDay();
    const quint64 id = ++m_displayTestId;
    DisplayWriter* writer = m_display.worker();
    QMetaObject::invokeMethod(writer, [=] { writer->writeTest(id, settings, linha1, linha2); });
}

void Controller::displayTestWritten(quint64 id, const DisplayOutcome& outcome)
{
    if (outcome.written)
        emit messageShown(outcome.linha1, outcome.linha2);
    if (!outcome.reached)
        emit displayFailed(outcome.failure);
    // Only the answer to the latest test speaks for the display as it is set now.
    if (id == m_displayTestId)
        emit displayTested(outcome.reached, displayTestText(outcome, timeOfDay()));
}

void Controller::testConnection()
{
    m_sources->testConnection(sourceSettings(m_settings));
}

void Controller::loadSpoolBatch()
{
    const Spool::Entries kept = m_spool->load(spoolBatch);
    m_feed.enqueue(kept.waiting);
    reportWaiting();
    m_sources->addUnfinished(kept.waiting + kept.shown);
    m_spoolRecovered += kept.waiting.size();
    if (!kept.problem.isEmpty())
        m_status.setError(kept.problem, Status::Handler::Polling);
    if (!m_spool->allLoaded())
        return;
    m_spoolLoading.stop();
    if (m_spoolRecovered > 0)
        qCInfo(lcMostrela).noquote()
            << QStringLiteral("%1 mensagens por mostrar recuperadas da fila %2")
                   .arg(m_spoolRecovered)
                   .arg(QDir::toNativeSeparators(m_spool->folder()));
}

void Controller::reportWaiting()
{
    m_status.setWaiting(m_feed.waiting());
}

void Controller::poll()
{
    // Until the whole spool is read, a source could give again a message it holds.
    if (m_page != Page::Executando || !m_spool->allLoaded())
        return;
    const SourceSettings settings = sourceSettings(m_settings);
    // A source switched off has no failure that still stands.
    if (!settings.ligaSQL)
        m_status.setError(QString(), Status::Handler::Database);
    if (!settings.ligaFicheiros)
        m_status.setError(QString(), Status::Handler::Polling);
    m_sources->tick(settings);
}

void Controller::reportRead(const QString& source, const PollResult& result)
{
    if (result.connectionFailed || !result.error.isEmpty())
        emit sourceFailed(source, result.messages);
    else if (result.messages >= 0)
        emit sourceRead(source, result.messages);
}

void Controller::databasePolled(const PollResult& result)
{
    reportRead(QStringLiteral("SQL"), result);
    if (result.connectionFailure) {
        const QString text = result.connectionFailure->message();
        m_status.setError(QString(text).replace(u'\n', QStringLiteral(" - ")),
                          Status::Handler::Database);
        if (text != m_connectionFailure) {
            m_connectionFailure = text;
            emit connectionFailed(text);
        }
        return;
    }
    // Connected, or a blank server that is not tried: no connection failure stands.
    m_status.setError(result.error, Status::Handler::Database);
    if (result.connectionFailed || m_connectionFailure.isEmpty())
        return;
    m_connectionFailure.clear();
    emit connectionRestored();
}

void Controller::dropFolderPolled(const PollResult& result)
{
    reportRead(QStringLiteral("Ficheiros"), result);
    m_status.setError(result.error, Status::Handler::Polling);
}
