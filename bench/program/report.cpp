#include "report.h"

#include <QLocale>

#include <cstdio>
#include <optional>

namespace {

// 9600 baud, 8N1: ten bits on the line for every byte.
constexpr double lineSecondsPerByte = 10.0 / 9600.0;
constexpr double intakeRatioGoal = 2;
constexpr double peakMegabytesGoal = 60;
constexpr double longestGapGoal = 0.5;
constexpr double displayShareGoal = 0.01;
constexpr double idleShareGoal = 0.0005;
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

QString percent(double share, int decimals)
{
    return fixed(share * 100, decimals) + QStringLiteral(" %");
}

} // namespace

void Report::add(const QString& figure, const QString& value, const QString& goal,
                 std::optional<bool> met)
{
    m_rows.append({figure, value, goal,
                   met ? (*met ? QStringLiteral("met") : QStringLiteral("missed")) : QString()});
}

void Report::addIntake(const IntakeFigures& figures)
{
    const double ratio = figures.controllerCpuPerFile / figures.plainCpuPerFile;
    add(QStringLiteral("%1 drop files at once: controller CPU a file").arg(count(figures.files)),
        microseconds(figures.controllerCpuPerFile));
    add(QStringLiteral("  plain reads and deletes, CPU a file"),
        microseconds(figures.plainCpuPerFile));
    add(QStringLiteral("  controller / plain"), fixed(ratio, ratio < 10 ? 2 : 0) + u'x',
        QStringLiteral("<= %1x").arg(intakeRatioGoal), ratio <= intakeRatioGoal);
    add(QStringLiteral("  until the folder was empty"),
        fixed(figures.secondsToEmpty, 1) + QStringLiteral(" s"));
}

void Report::addBacklog(const BacklogFigures& figures)
{
    const bool all = figures.taken == figures.files;
    add(QStringLiteral("%1 drop files waiting at once: taken").arg(count(figures.files)),
        QStringLiteral("%1 in %2 s%3")
            .arg(count(figures.taken), fixed(figures.seconds, 1),
                 all ? QString() : QStringLiteral(" (time up)")),
        QStringLiteral("all"), all);
    add(QStringLiteral("  controller peak memory (VmHWM)"),
        fixed(figures.peakMegabytes, 1) + QStringLiteral(" MB"),
        QStringLiteral("< %1 MB").arg(peakMegabytesGoal),
        figures.peakMegabytes < peakMegabytesGoal);
    add(QStringLiteral("  longest gap between frames (one due every %1 s)")
            .arg(figures.displaySeconds),
        fixed(figures.longestGap, 2) + QStringLiteral(" s"),
        QStringLiteral("<= %1 s").arg(longestGapGoal), figures.longestGap <= longestGapGoal);
}

void Report::addDisplay(const DisplayFigures& figures)
{
    const double wireSeconds = figures.bytesPerMessage * lineSecondsPerByte;
    const double share = figures.cpuPerMessage / wireSeconds;
    add(QStringLiteral("%1 messages shown: controller CPU a message").arg(count(figures.messages)),
        microseconds(figures.cpuPerMessage));
    add(QStringLiteral("  one message (%1 bytes) on a 9600-baud line")
            .arg(fixed(figures.bytesPerMessage, 0)),
        fixed(wireSeconds * 1000, 1) + QStringLiteral(" ms"));
    add(QStringLiteral("  CPU / line time"), percent(share, 2),
        QStringLiteral("<= %1 %").arg(displayShareGoal * 100), share <= displayShareGoal);
}

void Report::addIdle(const IdleFigures& figures, bool database)
{
    add(QStringLiteral("idle over %1 s, %2: CPU")
            .arg(figures.seconds)
            .arg(database ? QStringLiteral("drop folder and database")
                          : QStringLiteral("drop folder")),
        percent(figures.cpuShare, 3), QStringLiteral("< %1 %").arg(idleShareGoal * 100),
        figures.cpuShare < idleShareGoal);
}

void Report::addLogins(const LoginFigures& figures)
{
    add(QStringLiteral("database polled every second: logins in %1 s").arg(figures.seconds),
        count(figures.logins));
    add(QStringLiteral("  logins an hour"), fixed(figures.perHour, 0),
        QStringLiteral("%1").arg(loginsPerHourGoal), figures.perHour <= loginsPerHourGoal);
}

void Report::addStops(const StopFigures& figures)
{
    const auto stop = [this](const QString& busy, double seconds) {
        add(QStringLiteral("stop (SIGTERM) with %1").arg(busy),
            fixed(seconds, 2) + QStringLiteral(" s"),
            QStringLiteral("<= %1 s").arg(stopSecondsGoal), seconds <= stopSecondsGoal);
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
    qsizetype widths[4] = {6, 5, 4, 6};
    for (const Row& row : m_rows) {
        widths[0] = std::max(widths[0], row.figure.size());
        widths[1] = std::max(widths[1], row.value.size());
        widths[2] = std::max(widths[2], row.goal.size());
        widths[3] = std::max(widths[3], row.verdict.size());
    }
    const auto line = [&](const QString& figure, const QString& value, const QString& goal,
                          const QString& verdict) {
        std::printf("| %s | %s | %s | %s |\n", qPrintable(figure.leftJustified(widths[0])),
                    qPrintable(value.rightJustified(widths[1])),
                    qPrintable(goal.leftJustified(widths[2])),
                    qPrintable(verdict.leftJustified(widths[3])));
    };
    line(QStringLiteral("figure"), QStringLiteral("value"), QStringLiteral("goal"), QString());
    line(QString(widths[0], u'-'), QString(widths[1], u'-'), QString(widths[2], u'-'),
         QString(widths[3], u'-'));
    for (const Row& row : m_rows)
        line(row.figure, row.value, row.goal, row.verdict);
}
