#include "scenarios.h"

#include "controller_under_test.h"
#include "core/failure.h"
#include "plain_intake.h"
#include "plain_port.h"
#include "support/frame_gaps.h"
#include "support/odbc_fixture.h"
#include "support/postgres_server.h"
#include "support/silent_server.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>

namespace {

constexpr qint64 startUpLimitMs = 60000;
// Time for the idle text to take the message's place before the idle controller is measured.
constexpr qint64 settleMs = 1000;

qint64 milliseconds(double seconds)
{
    return std::llround(seconds * 1000);
}

void progress(const char* what)
{
    static const QElapsedTimer run = [] {
        QElapsedTimer clock;
        clock.start();
        return clock;
    }();
    std::fprintf(stderr, "mostrela-bench %4lld s: %s\n",
                 static_cast<long long>(run.elapsed() / 1000), what);
}

} // namespace

PlainIntakeFigures measurePlainIntake(const BenchSettings& settings)
{
    progress("intake: plain reads and deletes");
    PlainIntakeFigures figures;
    figures.files = settings.plainFiles;
    figures.cpuPerFile = plainIntakeCpuSeconds(settings.plainFiles) / settings.plainFiles;
    figures.durableCpuPerFile = durableIntakeCpuSeconds(settings.plainFiles) / settings.plainFiles;
    return figures;
}

IntakeFigures measureIntake(const BenchSettings& settings, bool window)
{
    progress(window ? "intake: files one by one" : "intake: files one by one, no window");
    // No display ticks: only the intake costs anything.
    ControllerUnderTest controller(settings.program,
                                   {.pollingSeconds = 0.1, .displaySeconds = 0, .window = window});
    controller.feed(*controller.stage(1), 0, startUpLimitMs);
    const double idleRate = controller.cpuRate(milliseconds(settings.referenceSeconds));

    const ProcessUsage before = controller.usage();
    const double start = controller.now();
    controller.drip(settings.intakeFiles, milliseconds(settings.limitSeconds));
    const double seconds = controller.now() - start;
    IntakeFigures figures;
    figures.files = settings.intakeFiles;
    figures.cpuPerFile =
        (controller.cpuSecondsSince(before) - idleRate * seconds) / settings.intakeFiles;
    figures.secondsPerFile = seconds / settings.intakeFiles;
    return figures;
}

DisplayFigures measureDisplay(const BenchSettings& settings, int queued, bool window)
{
    progress(window ? "display: showing messages" : "display: showing messages, no window");
    const double displaySeconds = 0.1;
    ControllerUnderTest controller(
        settings.program,
        {.pollingSeconds = 0.5, .displaySeconds = displaySeconds, .window = window});
    controller.feed(*controller.stage(1), 1, startUpLimitMs);
    const auto batch = controller.stage(queued);
    const double idleRate = controller.cpuRate(milliseconds(settings.referenceSeconds));
    controller.feed(*batch, 0, milliseconds(settings.limitSeconds));

    // From the first frame after the intake on: the display's work alone.
    const int shownDuringIntake = controller.frames();
    const int measured = std::min(settings.messages, queued - shownDuringIntake);
    const qint64 showingLimitMs = milliseconds(4 * displaySeconds * measured) + startUpLimitMs;
    if (!controller.runUntil([&] { return controller.frames() > shownDuringIntake; },
                             showingLimitMs))
        throw Failure(QStringLiteral("No message shown after the intake"));
    const int first = controller.frames();
    const ProcessUsage showing = controller.usage();
    const double start = controller.now();
    const qint64 bytes = controller.frameBytes();
    if (!controller.runUntil([&] { return controller.frames() >= first + measured; },
                             showingLimitMs))
        throw Failure(QStringLiteral("%1 of %2 messages shown")
                          .arg(controller.frames() - first)
                          .arg(measured));
    const double used = controller.cpuSecondsSince(showing) - idleRate * (controller.now() - start);

    DisplayFigures figures;
    figures.queued = queued;
    figures.messages = controller.frames() - first;
    if (figures.messages < 1 || controller.strayBytes() > 0)
        throw Failure(QStringLiteral("%1 messages measured, %2 stray bytes on the display")
                          .arg(figures.messages)
                          .arg(controller.strayBytes()));
    figures.cpuPerMessage = used / figures.messages;
    figures.bytesPerMessage =
        static_cast<double>(controller.frameBytes() - bytes) / figures.messages;
    return figures;
}

double measurePlainPort(const BenchSettings& settings, double frameBytes)
{
    progress("display: the port alone");
    return plainPortCpuSeconds(settings.messages, std::llround(frameBytes)) / settings.messages;
}

IdleFigures measureIdle(const BenchSettings& settings, bool database, bool window)
{
    progress(database ? "idle, with the database" : "idle");
    ControllerUnderTest controller(settings.program, {.pollingSeconds = 2,
                                                      .displaySeconds = 1,
                                                      .idleClock = true,
                                                      .database = database,
                                                      .window = window});
    // The message, then the idle text in its place.
    controller.feed(*controller.stage(1), 2, startUpLimitMs);
    controller.runFor(settleMs);
    IdleFigures figures;
    figures.seconds = settings.idleSeconds;
    figures.cpuShare = controller.cpuRate(milliseconds(settings.idleSeconds));
    return figures;
}

SpoolStartFigures measureSpoolStart(const BenchSettings& settings, bool window)
{
    const ControllerSetup setup{.displaySeconds = 0.1, .window = window};
    progress("spool: a start over an empty spool");
    qint64 emptyKiB = 0;
    {
        ControllerUnderTest empty(settings.program, setup);
        empty.feed(*empty.stage(1), 1, startUpLimitMs);
        emptyKiB = empty.usage().residentKiB;
    }

    progress(window ? "spool: writing the messages" : "spool: writing the messages, no window");
    ControllerSetup full = setup;
    full.spooled = settings.spooledMessages;
    ControllerUnderTest controller(settings.program, full);
    progress("spool: the start over them");
    const qint64 limitMs = milliseconds(settings.spoolSeconds);
    if (!controller.runUntil([&] { return controller.frames() > 0; }, limitMs))
        throw Failure(QStringLiteral("No frame within %1 s").arg(settings.spoolSeconds));
    SpoolStartFigures figures;
    figures.messages = settings.spooledMessages;
    figures.firstFrameSeconds = controller.frameTimes().first() - controller.startedAt();
    const double end = controller.startedAt() + settings.spoolSeconds;
    controller.runFor(milliseconds(end - controller.now()));
    const ProcessUsage usage = controller.usage();
    figures.seconds = settings.spoolSeconds;
    figures.peakMegabytes = static_cast<double>(usage.peakResidentKiB) * 1024 / 1e6;
    figures.bytesPerMessage =
        static_cast<double>(usage.residentKiB - emptyKiB) * 1024 / settings.spooledMessages;
    figures.longestGap =
        longestSilence(controller.frameTimes(), controller.frameTimes().first(), end);
    return figures;
}

BacklogFigures measureBacklog(const BenchSettings& settings, bool window)
{
    progress(window ? "backlog: writing the files" : "backlog: writing the files, no window");
    BacklogFigures figures;
    figures.files = settings.backlogFiles;
    figures.displaySeconds = 0.1;
    const double pollingSeconds = 0.5;
    ControllerUnderTest controller(settings.program, {.pollingSeconds = pollingSeconds,
                                                      .displaySeconds = figures.displaySeconds,
                                                      .window = window});
    const auto backlog = controller.stage(settings.backlogFiles);
    // Enough messages queued first that the display has one to show on every tick until the
    // backlog's first files are in, so a pause in its frames is the controller's doing.
    const int warmUpFiles =
        static_cast<int>(std::ceil(2 * pollingSeconds / figures.displaySeconds)) + 10;
    controller.feed(*controller.stage(warmUpFiles), 0, startUpLimitMs);

    progress("backlog: taking them");
    const double start = controller.now();
    backlog->moveIntoPlace();
    controller.runUntil([&] { return backlog->taken(); }, milliseconds(settings.backlogSeconds));
    const double end = controller.now();
    figures.seconds = end - start;
    figures.taken = backlog->takenCount();
    figures.peakMegabytes = static_cast<double>(controller.usage().peakResidentKiB) * 1024 / 1e6;
    figures.longestGap = longestSilence(controller.frameTimes(), start, end);
    return figures;
}

LoginFigures measureLogins(const BenchSettings& settings, PostgresServer& server)
{
    progress("logins: polling the PostgreSQL server every second");
    const QString user = OdbcFixture::databaseUser();
    const int before = server.logins(user);
    ControllerUnderTest controller(settings.program, {.pollingSeconds = 1,
                                                      .displaySeconds = 1,
                                                      .database = true,
                                                      .server = PostgresServer::dataSource()});
    if (!controller.runUntil([&] { return server.logins(user) > before; }, startUpLimitMs))
        throw Failure(QStringLiteral("The controller never logged in"));
    LoginFigures figures;
    figures.seconds = settings.loginSeconds;
    controller.runFor(milliseconds(settings.loginSeconds));
    figures.logins = server.logins(user) - before;
    figures.perHour = 1 + (figures.logins - 1) * 3600 / figures.seconds;
    return figures;
}

StopFigures measureStops(const BenchSettings& settings, OdbcFixture& odbc)
{
    const qint64 limitMs = milliseconds(settings.limitSeconds);
    StopFigures figures;
    {
        progress("stop: a login held up");
        SilentServer server;
        ControllerUnderTest controller(
            settings.program,
            {.database = true, .server = QStringLiteral("127.0.0.1,%1").arg(server.port())});
        if (!controller.runUntil([&] { return server.connections() > 0; }, startUpLimitMs))
            throw Failure(QStringLiteral("The controller never tried to log in"));
        figures.loginSeconds = controller.secondsToEnd(SIGTERM, limitMs);
    }
    {
        progress("stop: drop files waiting");
        figures.files = settings.stopFiles;
        ControllerUnderTest controller(settings.program, {});
        const auto batch = controller.stage(settings.stopFiles);
        batch->moveIntoPlace();
        if (!controller.runUntil([&] { return batch->takenCount() > 0; }, limitMs))
            throw Failure(QStringLiteral("The controller took no drop file"));
        figures.filesSeconds = controller.secondsToEnd(SIGTERM, limitMs);
    }
    {
        progress("stop: rows waiting");
        figures.rows = settings.stopRows;
        odbc.createTable();
        odbc.insertNumbered(OdbcFixture::databaseUser(), settings.stopRows);
        const auto waiting = [&] {
            return odbc.rows(QStringLiteral("select count(*) from SaidaDisplay")).first().first();
        };
        ControllerUnderTest controller(settings.program, {.database = true});
        if (!controller.runUntil([&] { return waiting().toInt() < settings.stopRows; }, limitMs))
            throw Failure(QStringLiteral("The controller took no row"));
        figures.rowsSeconds = controller.secondsToEnd(SIGTERM, limitMs);
        odbc.createTable();
    }
    return figures;
}
