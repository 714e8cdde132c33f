#include "report.h"

#include <QLocale>

#include <algorithm>
#include <cstdio>

namespace {

// 9600 baud, 8N1: ten bits on the line for every byte.
constexpr double lineSecondsPerByte = 10.0 / 9600.0;
constexpr double intakeRatioGoal = 3;
constexpr double windowMessageGoal = 1.0e-3;
constexpr double messageGoal = 0.3e-3;
// A longer queue may cost a message no more than the usual one, give or take the noise between
// two runs.
constexpr double longerQueueAllowance = 1.1;
constexpr double idleShareGoal = 0.0005;
constexpr double firstFrameGoal = 2;
constexpr double peakMegabytesGoal = 60;
constexpr double longestGapGoal = 0.5;
constexpr double loginsPerHourGoal = 1;
constexpr double stopSecondsGoal = 2;

QString count(int value)
{
    return QLocale(QLocale::English).toString(value);
}

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

QString microseconds(double seconds)
{
    return fixed(seconds * 1e6, seconds < 1e-4 ? 1 : 0) + QStringLiteral(" µs");
}

QString milliseconds(double seconds)
{
    return fixed(seconds * 1e3, 2) + QStringLiteral(" ms");
}

QString percent(double share, int decimals)
{
    return fixed(share * 100, decimals) + QStringLiteral(" %");
}

QString megabytes(double value)
{
    return fixed(value, 1) + QStringLiteral(" MB");
}

QString seconds(double value, int decimals)
{
    return fixed(value, decimals) + QStringLiteral(" s");
}

} // namespace

void Report::add(const QString& figure, const QString& withWindow, const QString& withoutWindow,
                 const QString& goal, std::optional<bool> met)
{
    m_rows.append({figure, withWindow, withoutWindow, goal,
                   met ? (*met ? QStringLiteral("met") : QStringLiteral("missed")) : QString()});
}

void Report::addIntake(const PlainIntakeFigures& plain, const BothWays<IntakeFigures>& figures)
{
    const IntakeFigures& window = figures.withWindow;
    const IntakeFigures& without = figures.withoutWindow;
    add(QStringLiteral("%1 drop files one by one, polling every 0.1 s: CPU a file")
            .arg(count(window.files)),
        microseconds(window.cpuPerFile), microseconds(without.cpuPerFile));
    add(QStringLiteral("  a file's wait in the folder"), seconds(window.secondsPerFile, 3),
        seconds(without.secondsPerFile, 3));
    add(QStringLiteral("  plain read and delete of %1 files, CPU a file").arg(count(plain.files)),
        microseconds(plain.cpuPerFile));
    add(QStringLiteral("  the same, each kept durably first (one flush a file and its folder)"),
        microseconds(plain.durableCpuPerFile));
    const double windowRatio = window.cpuPerFile / plain.cpuPerFile;
    const double withoutRatio = without.cpuPerFile / plain.cpuPerFile;
    const auto ratio = [](double value) { return fixed(value, value < 10 ? 2 : 0) + u'x'; };
    add(QStringLiteral("  controller / plain"), ratio(windowRatio), ratio(withoutRatio),
        QStringLiteral("<= %1x").arg(intakeRatioGoal),
        std::max(windowRatio, withoutRatio) <= intakeRatioGoal);
    add(QStringLiteral("  durable copy / plain (the floor)"),
        ratio(plain.durableCpuPerFile / plain.cpuPerFile));
}

void Report::addDisplay(const BothWays<DisplayFigures>& usual,
                        const BothWays<DisplayFigures>& longer, double portCpuPerMessage)
{
    add(QStringLiteral("%1 messages queued, one shown every 0.1 s: CPU a message")
            .arg(count(usual.withWindow.queued)),
        milliseconds(usual.withWindow.cpuPerMessage),
        milliseconds(usual.withoutWindow.cpuPerMessage),
        QStringLiteral("<= %1 ms, %2 ms").arg(windowMessageGoal * 1e3).arg(messageGoal * 1e3),
        usual.withWindow.cpuPerMessage <= windowMessageGoal &&
            usual.withoutWindow.cpuPerMessage <= messageGoal);
    add(QStringLiteral("%1 messages queued: CPU a message over the first %2 shown")
            .arg(count(longer.withWindow.queued), count(longer.withWindow.messages)),
        milliseconds(longer.withWindow.cpuPerMessage),
        milliseconds(longer.withoutWindow.cpuPerMessage),
        QStringLiteral("<= the %1's + 10 %").arg(count(usual.withWindow.queued)),
        longer.withWindow.cpuPerMessage <= usual.withWindow.cpuPerMessage * longerQueueAllowance &&
            longer.withoutWindow.cpuPerMessage <=
                usual.withoutWindow.cpuPerMessage * longerQueueAllowance);
    add(QStringLiteral("  the port alone: opened, the frame written, closed (the floor)"),
        milliseconds(portCpuPerMessage));
    const double wireSeconds = usual.withWindow.bytesPerMessage * lineSecondsPerByte;
    add(QStringLiteral("  one message (%1 bytes) on a 9600-baud line")
            .arg(fixed(usual.withWindow.bytesPerMessage, 0)),
        milliseconds(wireSeconds));
}

void Report::addIdle(const BothWays<IdleFigures>& figures, bool database)
{
    add(QStringLiteral("idle over %1 s, %2: CPU")
            .arg(figures.withWindow.seconds)
            .arg(database ? QStringLiteral("drop folder and database")
                          : QStringLiteral("drop folder")),
        percent(figures.withWindow.cpuShare, 3), percent(figures.withoutWindow.cpuShare, 3),
        QStringLiteral("< %1 %").arg(idleShareGoal * 100),
        std::max(figures.withWindow.cpuShare, figures.withoutWindow.cpuShare) < idleShareGoal);
}

void Report::addSpoolStart(const BothWays<SpoolStartFigures>& figures)
{
    const SpoolStartFigures& window = figures.withWindow;
    const SpoolStartFigures& without = figures.withoutWindow;
    add(QStringLiteral("start over %1 messages in the spool: first frame")
            .arg(count(window.messages)),
        seconds(window.firstFrameSeconds, 2), seconds(without.firstFrameSeconds, 2),
        QStringLiteral("< %1 s").arg(firstFrameGoal),
        std::max(window.firstFrameSeconds, without.firstFrameSeconds) < firstFrameGoal);
    add(QStringLiteral("  peak memory (VmHWM) over the first %1 s").arg(window.seconds),
        megabytes(window.peakMegabytes), megabytes(without.peakMegabytes),
        QStringLiteral("< %1 MB").arg(peakMegabytesGoal),
        std::max(window.peakMegabytes, without.peakMegabytes) < peakMegabytesGoal);
    add(QStringLiteral("  memory a spooled message (VmRSS over an empty spool's)"),
        fixed(window.bytesPerMessage, 0) + QStringLiteral(" bytes"),
        fixed(without.bytesPerMessage, 0) + QStringLiteral(" bytes"));
    add(QStringLiteral("  longest gap between frames (one due every 0.1 s)"),
        seconds(window.longestGap, 2), seconds(without.longestGap, 2),
        QStringLiteral("<= %1 s").arg(longestGapGoal),
        std::max(window.longestGap, without.longestGap) <= longestGapGoal);
}

void Report::addBacklog(const BothWays<BacklogFigures>& figures)
{
    const BacklogFigures& window = figures.withWindow;
    const BacklogFigures& without = figures.withoutWindow;
    const auto taken = [](const BacklogFigures& backlog) {
        return QStringLiteral("%1 in %2%3")
            .arg(count(backlog.taken), seconds(backlog.seconds, 1),
                 backlog.taken == backlog.files ? QString() : QStringLiteral(" (time up)"));
    };
    add(QStringLiteral("%1 drop files waiting at once: taken").arg(count(window.files)),
        taken(window), taken(without), QStringLiteral("all"),
        window.taken == window.files && without.taken == without.files);
    add(QStringLiteral("  peak memory (VmHWM)"), megabytes(window.peakMegabytes),
        megabytes(without.peakMegabytes), QStringLiteral("< %1 MB").arg(peakMegabytesGoal),
        std::max(window.peakMegabytes, without.peakMegabytes) < peakMegabytesGoal);
    add(QStringLiteral("  longest gap between frames (one due every %1 s)")
            .arg(window.displaySeconds),
        seconds(window.longestGap, 2), seconds(without.longestGap, 2),
        QStringLiteral("<= %1 s").arg(longestGapGoal),
        std::max(window.longestGap, without.longestGap) <= longestGapGoal);
}

void Report::addLogins(const LoginFigures& figures)
{
    add(QStringLiteral("database polled every second: logins in %1 s").arg(figures.seconds),
        count(figures.logins));
    add(QStringLiteral("  logins an hour"), fixed(figures.perHour, 0), {},
        QStringLiteral("%1").arg(loginsPerHourGoal), figures.perHour <= loginsPerHourGoal);
}

void Report::addStops(const StopFigures& figures)
{
    const auto stop = [this](const QString& busy, double value) {
        add(QStringLiteral("stop (SIGTERM) with %1").arg(busy), seconds(value, 2), {},
            QStringLiteral("<= %1 s").arg(stopSecondsGoal), value <= stopSecondsGoal);
    };
    stop(QStringLiteral("a login held up"), figures.loginSeconds);
    stop(QStringLiteral("%1 drop files waiting").arg(count(figures.files)), figures.filesSeconds);
    stop(QStringLiteral("%1 rows waiting").arg(count(figures.rows)), figures.rowsSeconds);
}

void Report::addFailure(const QString& scenario, const QString& failure)
{
    add(scenario + QStringLiteral(": not measured"), failure);
}

void Report::print() const
{
    const Row heading{QStringLiteral("figure"), QStringLiteral("with the window"),
                      QStringLiteral("--sem-janela"), QStringLiteral("goal"), QString()};
    // Three dashes at least, as a Markdown table's separator line needs.
    qsizetype widths[5] = {3, 3, 3, 3, 3};
    for (const Row& row : m_rows + QList<Row>{heading}) {
        const QString* cells[] = {&row.figure, &row.withWindow, &row.withoutWindow, &row.goal,
                                  &row.verdict};
        for (int cell = 0; cell < 5; ++cell)
            widths[cell] = std::max(widths[cell], cells[cell]->size());
    }
    const auto line = [&](const Row& row) {
        std::printf("| %s | %s | %s | %s | %s |\n", qPrintable(row.figure.leftJustified(widths[0])),
                    qPrintable(row.withWindow.rightJustified(widths[1])),
                    qPrintable(row.withoutWindow.rightJustified(widths[2])),
                    qPrintable(row.goal.leftJustified(widths[3])),
                    qPrintable(row.verdict.leftJustified(widths[4])));
    };
    line(heading);
    line({QString(widths[0], u'-'), QString(widths[1], u'-'), QString(widths[2], u'-'),
          QString(widths[3], u'-'), QString(widths[4], u'-')});
    for (const Row& row : m_rows)
        line(row);
}
