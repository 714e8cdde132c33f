#include "app/controller.h"

#include "app/config_file.h"
#include "app/setup_checks.h"
#include "core/failure.h"
#include "core/log.h"
#include "core/numbers.h"
#include "core/settings_snapshots.h"
#include "intake/abrir_ligacao.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTime>

namespace {

QString timeOfDay()
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
}

} // namespace

Controller::Controller(const QString& folder, const QString& spoolFolder)
    : m_configPath(QDir(folder).filePath(QStringLiteral("Mostrela.cfg"))),
      m_spool(spoolFolder.isEmpty() ? QDir(folder).filePath(QStringLiteral("fila")) : spoolFolder)
{
    const Spool::Entries kept = m_spool.load();
    m_queue.appendAll(kept.waiting);
    if (!kept.waiting.isEmpty())
        qInfo().noquote() << QStringLiteral("%1 mensagens por mostrar recuperadas da fila %2")
                                 .arg(kept.waiting.size())
                                 .arg(m_spool.folder());
    m_status.setError(kept.problem, Status::Handler::Polling);

    m_intake = std::make_unique<WorkerThread<IntakeWorker>>(m_spool, kept.waiting + kept.shown);
    IntakeWorker* intake = m_intake->worker();
    connect(intake, &IntakeWorker::captionChanged, &m_status, &Status::setCaption);
    connect(intake, &IntakeWorker::taken, &m_queue, &MessageQueue::appendAll);
    connect(intake, &IntakeWorker::polled, this, &Controller::polled);
    connect(intake, &IntakeWorker::connectionTested, this, [this](const ConnectionTest& result) {
        emit connectionTested(connectionTestPassed(result), connectionTestText(result));
    });
    connect(&m_rotation, &Rotation::displayed, this, &Controller::messageShown);
    connect(&m_rotation, &Rotation::writeFailed, this, &Controller::displayFailed);
    connect(m_display.worker(), &DisplayWriter::testWritten, this, &Controller::displayTestWritten);

    connect(&m_tmrDisplay, &Timer::tick, this,
            [this] { m_rotation.tick(rotationSettings(m_settings), displaySettings(m_settings)); });
    connect(&m_tmrVerifica, &Timer::tick, this, &Controller::poll);
}

Controller::~Controller() = default;

QString Controller::windowTitle() const
{
    const QString folder = QFileInfo(m_configPath).absolutePath();
    const QString spool =
        QFileInfo(m_spool.folder()).absolutePath() == folder
            ? QString()
            : QStringLiteral(" (fila em %1)").arg(QDir::toNativeSeparators(m_spool.folder()));
    // Major and revision only: version 1.0.1 reads "1.1".
    return QStringLiteral("Controlador de Display       [Ver %1.%2] - %3%4")
        .arg(MOSTRELA_VERSION_MAJOR)
        .arg(MOSTRELA_VERSION_REVISION)
        .arg(QDir::toNativeSeparators(folder), spool);
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
}

void Controller::testDisplay()
{
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
    const SourceSettings settings = sourceSettings(m_settings);
    IntakeWorker* intake = m_intake->worker();
    QMetaObject::invokeMethod(intake, [intake, settings] { intake->testConnection(settings); });
}

void Controller::poll()
{
    // One tick at a time, and none while the person at the screen has not seen the last
    // connection failure: message boxes never stack.
    if (m_page != Page::Executando || m_polling || m_criticalMessageOpen)
        return;
    m_polling = true;
    const SourceSettings settings = sourceSettings(m_settings);
    IntakeWorker* intake = m_intake->worker();
    QMetaObject::invokeMethod(intake, [intake, settings] { intake->poll(settings); });
}

void Controller::polled(const PollResult& result)
{
    m_polling = false;
    if (result.databaseMessages >= 0)
        emit sourceRead(QStringLiteral("SQL"), result.databaseMessages);
    if (result.dropFileMessages >= 0)
        emit sourceRead(QStringLiteral("Ficheiros"), result.dropFileMessages);
    // A connection that failed leaves the failure label alone: its message says it all.
    if (result.connectionFailure)
        showCriticalMessage(result.connectionFailure->message());
    if (!result.connectionFailed) {
        m_status.setError(result.error, Status::Handler::Polling);
        m_lastLoggedMessage.clear();
    }
    emit pollingFinished();
}

void Controller::setCriticalMessageHandler(std::function<void(const QString&)> handler)
{
    m_criticalMessage = std::move(handler);
}

void Controller::showCriticalMessage(const QString& text)
{
    if (m_criticalMessage) {
        m_criticalMessageOpen = true;
        m_criticalMessage(text);
    } else if (text != m_lastLoggedMessage) {
        // Without a window nothing holds polling back: the same failure, tick after tick, is
        // logged once, until a tick gets through.
        m_lastLoggedMessage = text;
        qCCritical(lcMostrela).noquote() << text;
    }
}
