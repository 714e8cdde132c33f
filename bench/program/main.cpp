// mostrela-bench: the built controller as users run it (its window offscreen, or with no window,
// a pseudo-terminal as its display port, a real drop folder), timed from outside. Prints one
// table: the CPU of drop files arriving one by one against plain reads and deletes, the CPU a
// shown message on a short and a long queue, the idle controller's CPU, a start over a full
// spool, a large backlog's memory and the display's pace while it is taken, each with the window
// and without; the logins to a database polled every second, and how long the controller takes
// to stop while a source is busy.

#include "core/failure.h"
#include "report.h"
#include "scenarios.h"
#include "support/odbc_fixture.h"
#include "support/postgres_server.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <functional>
#include <optional>

namespace {

const QStringList scenarioNames = {QStringLiteral("intake"),  QStringLiteral("display"),
                                   QStringLiteral("idle"),    QStringLiteral("spool"),
                                   QStringLiteral("backlog"), QStringLiteral("logins"),
                                   QStringLiteral("stop")};

struct NumberOption {
    QCommandLineOption option;
    std::function<void(double)> set;
};

template <typename T> NumberOption number(const char* name, const char* text, T& value)
{
    return {{QString::fromLatin1(name),
             QStringLiteral("%1 (default %2).").arg(QString::fromLatin1(text)).arg(value),
             QStringLiteral("number")},
            [&value](double given) { value = static_cast<T>(given); }};
}

// A run of under a minute, for trying the benchmark out; its figures are rougher.
void makeQuick(BenchSettings& settings)
{
    settings.intakeFiles = 30;
    settings.plainFiles = 1000;
    settings.messages = 30;
    settings.longQueue = 1000;
    settings.spooledMessages = 10000;
    settings.backlogFiles = 10000;
    settings.idleSeconds = 3;
    settings.referenceSeconds = 0.5;
    settings.spoolSeconds = 4;
    settings.backlogSeconds = 8;
    settings.limitSeconds = 20;
    settings.loginSeconds = 10;
    settings.stopFiles = 10000;
    settings.stopRows = 2000;
}

void runScenario(Report& report, const QString& name, const std::function<void()>& measure)
{
    try {
        measure();
    } catch (const Failure& failure) {
        report.addFailure(name, failure.description());
    }
}

template <typename Figures> BothWays<Figures> bothWays(const std::function<Figures(bool)>& measure)
{
    return {measure(true), measure(false)};
}

} // namespace

int main(int argc, char* argv[])
{
    try {
        QCoreApplication application(argc, argv);
        application.setApplicationName(QStringLiteral("mostrela-bench"));

        BenchSettings settings;
        settings.program = QStringLiteral(MOSTRELA_EXECUTABLE);
        QCommandLineParser parser;
        parser.setApplicationDescription(
            QStringLiteral("Runs the built controller with its window offscreen and without it, a "
                           "pseudo-terminal as its "
                           "display and a real drop folder, and measures it from outside."));
        parser.addHelpOption();
        const QCommandLineOption quick(QStringLiteral("quick"),
                                       QStringLiteral("Small sizes: a run of under a minute."));
        const QCommandLineOption only(QStringLiteral("only"),
                                      QStringLiteral("Only these scenarios, comma-separated: %1.")
                                          .arg(scenarioNames.join(QStringLiteral(", "))),
                                      QStringLiteral("names"));
        const QCommandLineOption program(QStringLiteral("program"),
                                         QStringLiteral("The controller's executable."),
                                         QStringLiteral("path"), settings.program);
        parser.addOptions({quick, only, program});
        const NumberOption numbers[] = {
            number("intake-files", "Drop files arriving one by one, for the CPU a file",
                   settings.intakeFiles),
            number("plain-files", "Drop files read and deleted plainly", settings.plainFiles),
            number("messages", "Messages shown, for the CPU a message", settings.messages),
            number("long-queue", "Messages queued for the CPU a message on a long queue",
                   settings.longQueue),
            number("spooled-messages", "Messages in the spool at a start",
                   settings.spooledMessages),
            number("backlog-files", "Drop files waiting at once", settings.backlogFiles),
            number("idle-seconds", "Seconds the idle controller is measured", settings.idleSeconds),
            number("reference-seconds",
                   "Seconds of idling measured before a load, to take off its figure",
                   settings.referenceSeconds),
            number("spool-seconds", "Seconds a start over a full spool is watched",
                   settings.spoolSeconds),
            number("backlog-seconds", "How long the backlog may take", settings.backlogSeconds),
            number("limit-seconds", "The longest any other wait may last", settings.limitSeconds),
            number("login-seconds", "Seconds the logins to the database are counted",
                   settings.loginSeconds),
            number("stop-files", "Drop files waiting when the controller is stopped",
                   settings.stopFiles),
            number("stop-rows", "Rows waiting when the controller is stopped", settings.stopRows),
        };
        for (const NumberOption& option : numbers)
            parser.addOption(option.option);
        parser.process(application);
        if (parser.isSet(quick))
            makeQuick(settings);
        for (const NumberOption& option : numbers) {
            if (!parser.isSet(option.option))
                continue;
            bool ok = false;
            const double value = parser.value(option.option).toDouble(&ok);
            if (!ok || value <= 0)
                parser.showHelp(2);
            option.set(value);
        }
        settings.program = parser.value(program);
        const QStringList chosen =
            parser.isSet(only) ? parser.value(only).split(u',', Qt::SkipEmptyParts) : scenarioNames;
        for (const QString& name : chosen) {
            if (!scenarioNames.contains(name))
                parser.showHelp(2);
        }

        // Both before any ODBC call: the controller inherits their data sources.
        std::optional<PostgresServer> postgres;
        if (chosen.contains(QStringLiteral("logins")))
            postgres.emplace();
        OdbcFixture odbc(OdbcFixture::Trace::Off, postgres ? postgres->odbcSection() : QString());

        Report report;
        if (chosen.contains(QStringLiteral("intake")))
            runScenario(report, QStringLiteral("intake"), [&] {
                const auto intake = bothWays<IntakeFigures>(
                    [&](bool window) { return measureIntake(settings, window); });
                report.addIntake(measurePlainIntake(settings), intake);
            });
        if (chosen.contains(QStringLiteral("display")))
            runScenario(report, QStringLiteral("display"), [&] {
                const auto display = [&](int queued) {
                    return bothWays<DisplayFigures>(
                        [&](bool window) { return measureDisplay(settings, queued, window); });
                };
                const auto usual = display(settings.messages);
                const auto longer = display(settings.longQueue);
                report.addDisplay(usual, longer,
                                  measurePlainPort(settings, usual.withWindow.bytesPerMessage));
            });
        if (chosen.contains(QStringLiteral("idle"))) {
            for (const bool database : {false, true})
                runScenario(report, QStringLiteral("idle"), [&] {
                    report.addIdle(bothWays<IdleFigures>([&](bool window) {
                                       return measureIdle(settings, database, window);
                                   }),
                                   database);
                });
        }
        if (chosen.contains(QStringLiteral("spool")))
            runScenario(report, QStringLiteral("spool"), [&] {
                report.addSpoolStart(bothWays<SpoolStartFigures>(
                    [&](bool window) { return measureSpoolStart(settings, window); }));
            });
        if (chosen.contains(QStringLiteral("backlog")))
            runScenario(report, QStringLiteral("backlog"), [&] {
                report.addBacklog(bothWays<BacklogFigures>(
                    [&](bool window) { return measureBacklog(settings, window); }));
            });
        if (postgres)
            runScenario(report, QStringLiteral("logins"),
                        [&] { report.addLogins(measureLogins(settings, *postgres)); });
        if (chosen.contains(QStringLiteral("stop")))
            runScenario(report, QStringLiteral("stop"),
                        [&] { report.addStops(measureStops(settings, odbc)); });
        report.print();
        return 0;
    } catch (const Failure& failure) {
        std::fprintf(stderr, "mostrela-bench: %s\n", qPrintable(failure.description()));
        return 2;
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "mostrela-bench: %s\n", error.what());
        return 2;
    }
}
