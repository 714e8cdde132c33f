// mostrela-soak: the real controller, fed from both of its sources faster than it shows
// messages for a long while, then drained. Reports what was fed and shown, what was lost or
// shown twice, the queue's peak, the controller's memory and CPU time. With --matar-cada the
// controller is killed and started again every few seconds while fed. Exits 1 when a message
// was lost or shown twice (beyond the one a kill caught on its way to the display), when memory
// did not come back, or when the run stopped short.

#include "core/failure.h"
#include "report.h"
#include "soak_run.h"
#include "support/odbc_fixture.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

struct NumberOption {
    QCommandLineOption option;
    double* value;
};

} // namespace

int main(int argc, char* argv[])
{
    try {
        OdbcFixture odbc; // before the first ODBC call; the controller inherits its data source
        QCoreApplication application(argc, argv);
        application.setApplicationName(QStringLiteral("mostrela-soak"));

        SoakSettings settings;
        settings.program = QStringLiteral(MOSTRELA_EXECUTABLE);
        QCommandLineParser parser;
        parser.setApplicationDescription(
            QStringLiteral("Feeds the controller from its database and its drop folder faster "
                           "than it shows messages, then drains it, and checks that every "
                           "message was shown once and memory came back."));
        parser.addHelpOption();
        const auto number = [](const char* name, const char* text, double& value) {
            return NumberOption{
                {QString::fromLatin1(name),
                 QStringLiteral("%1 (default %2).").arg(QString::fromLatin1(text)).arg(value),
                 QStringLiteral("number")},
                &value};
        };
        const NumberOption numbers[] = {
            number("minutes", "Minutes of feeding", settings.minutes),
            number("display-seconds", "The controller's display interval", settings.displaySeconds),
            number("polling-seconds", "The controller's polling interval", settings.pollingSeconds),
            number("feed-ratio", "Messages fed for each one the display can show",
                   settings.feedRatio),
            number("stall-seconds",
                   "Seconds without a message shown, while some wait, that count as a hang",
                   settings.stallSeconds),
            number("memory-margin", "MiB that resident memory may end above its start",
                   settings.memoryMarginMiB),
            number("matar-cada",
                   "Seconds between kills (SIGKILL) of the controller while it is fed, each "
                   "followed by a new start; by default never",
                   settings.killSeconds),
        };
        for (const NumberOption& option : numbers)
            parser.addOption(option.option);
        const QCommandLineOption program(QStringLiteral("program"),
                                         QStringLiteral("The controller's executable."),
                                         QStringLiteral("path"), settings.program);
        parser.addOption(program);
        parser.process(application);
        for (const NumberOption& option : numbers) {
            bool ok = false;
            const double value = parser.value(option.option).toDouble(&ok);
            if (parser.isSet(option.option) && (!ok || value <= 0))
                parser.showHelp(2);
            if (parser.isSet(option.option))
                *option.value = value;
        }
        settings.program = parser.value(program);

        SoakRun run(settings, odbc);
        const SoakFigures figures = run.run();
        printReport(settings, figures);
        const QStringList found = faults(settings, figures);
        for (const QString& fault : found)
            std::printf("FAULT: %s\n", qPrintable(fault));
        if (found.isEmpty())
            std::printf("\nEvery message shown, %d of them twice after %d kills; memory came "
                        "back within %g MiB.\n",
                        figures.ledger.duplicated(), figures.kills, settings.memoryMarginMiB);
        return found.isEmpty() ? 0 : 1;
    } catch (const Failure& failure) {
        std::fprintf(stderr, "mostrela-soak: %s\n", qPrintable(failure.description()));
        return 2;
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "mostrela-soak: %s\n", error.what());
        return 2;
    }
}
