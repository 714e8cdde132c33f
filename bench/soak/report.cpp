#include "report.h"

#include "soak_run.h"

#include <cstdio>

namespace {

using Source = MessageLedger::Source;

double mebibytes(qint64 kibibytes)
{
    return static_cast<double>(kibibytes) / 1024;
}

void row(const char* figure, const QString& value)
{
    std::printf("| %-44s | %20s |\n", figure, qPrintable(value));
}

void row(const char* figure, qint64 value)
{
    row(figure, QString::number(value));
}

QString mib(qint64 kibibytes)
{
    return QStringLiteral("%1 MiB").arg(mebibytes(kibibytes), 0, 'f', 1);
}

qint64 growthKiB(const SoakFigures& figures)
{
    return figures.end.residentKiB - figures.start.residentKiB;
}

} // namespace

void printReport(const SoakSettings& settings, const SoakFigures& figures)
{
    const MessageLedger& ledger = figures.ledger;
    std::printf("Display every %g s, polling every %g s, fed %g times as fast as shown, for %g "
                "min",
                settings.displaySeconds, settings.pollingSeconds, settings.feedRatio,
                settings.minutes);
    if (settings.killSeconds > 0)
        std::printf(", killed every %g s", settings.killSeconds);
    std::printf("\n\n");
    std::printf("| %-44s | %20s |\n", "figure", "value");
    std::printf("|%s|%s|\n", "----------------------------------------------",
                "----------------------");
    row("fed as database rows", ledger.fed(Source::Database));
    row("fed as drop files", ledger.fed(Source::DropFolder));
    row("fed in all", ledger.fedTotal());
    row("shown on the display", ledger.shownTotal());
    row("lost", ledger.lost());
    row("shown twice", ledger.duplicated());
    row("killed (SIGKILL) and started again", figures.kills);
    row("out of order (database / drop files)", QStringLiteral("%1 / %2")
                                                    .arg(ledger.outOfOrder(Source::Database))
                                                    .arg(ledger.outOfOrder(Source::DropFolder)));
    row("unknown messages / stray bytes",
        QStringLiteral("%1 / %2").arg(ledger.unknown()).arg(figures.strayBytes));
    row("queue peak (fed - in sources - shown)", figures.queuePeak);
    row("resident memory at start", mib(figures.start.residentKiB));
    row("resident memory peak (VmHWM)", mib(figures.end.peakResidentKiB));
    row("resident memory at end", mib(figures.end.residentKiB));
    row("CPU seconds (in all / after start-up)",
        QStringLiteral("%1 / %2")
            .arg(figures.end.cpuSeconds, 0, 'f', 1)
            .arg(figures.end.cpuSeconds - figures.start.cpuSeconds, 0, 'f', 1));
    row("seconds feeding / draining", QStringLiteral("%1 / %2")
                                          .arg(figures.feedSeconds, 0, 'f', 0)
                                          .arg(figures.drainSeconds, 0, 'f', 0));
    row("database inserts refused, then retried", figures.refusals);
}

QStringList faults(const SoakSettings& settings, const SoakFigures& figures)
{
    const MessageLedger& ledger = figures.ledger;
    QStringList found;
    if (!figures.failure.isEmpty())
        found << figures.failure;
    if (ledger.lost() > 0)
        found << QStringLiteral("%1 messages lost").arg(ledger.lost());
    // A kill may catch one message written to the display and not yet out of the spool.
    if (ledger.duplicated() > figures.kills || ledger.mostShowings() > 2)
        found << QStringLiteral("%1 messages shown more than once after %2 kills")
                     .arg(ledger.duplicated())
                     .arg(figures.kills);
    if (ledger.unknown() > 0 || figures.strayBytes > 0)
        found << QStringLiteral("%1 unknown messages and %2 stray bytes on the display")
                     .arg(ledger.unknown())
                     .arg(figures.strayBytes);
    if (figures.end.residentKiB == 0)
        found << QStringLiteral("no memory figure at the end");
    else if (mebibytes(growthKiB(figures)) > settings.memoryMarginMiB)
        found << QStringLiteral("resident memory ended %1 above its start (margin %2 MiB)")
                     .arg(mib(growthKiB(figures)))
                     .arg(settings.memoryMarginMiB);
    return found;
}
