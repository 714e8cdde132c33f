#include "support/process_usage.h"

#include "core/failure.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

namespace {

QByteArray procFile(qint64 pid, const char* name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1StringView(name)));
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(
            QStringLiteral("Cannot read %1: %2").arg(file.fileName(), file.errorString()));
    return file.readAll();
}

// A "Name:   1234 kB" line of /proc/PID/status.
qint64 statusKiB(const QByteArray& status, const QByteArray& name)
{
    for (const QByteArray& line : status.split('\n')) {
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).trimmed().split(' ').first().toLongLong();
    }
    throw Failure(QStringLiteral("No %1 in /proc status").arg(QString::fromLatin1(name)));
}

// utime and stime, fields 14 and 15 of /proc/PID/stat, counted after the command name in
// parentheses (which may itself hold blanks), where field 3 begins.
double statCpuSeconds(const QByteArray& stat)
{
    constexpr int utime = 14 - 3;
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).trimmed().split(' ');
    if (fields.size() <= utime + 1)
        throw Failure(QStringLiteral("Short /proc stat"));
    const qint64 ticks = fields.at(utime).toLongLong() + fields.at(utime + 1).toLongLong();
    return static_cast<double>(ticks) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// The first field of each thread's schedstat is the nanoseconds it has run.
QHash<qint64, qint64> threadRunTimes(qint64 pid)
{
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    QHash<qint64, qint64> nanoseconds;
    for (const QString& thread : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile file(QStringLiteral("%1/%2/schedstat").arg(tasks, thread));
        if (file.open(QIODevice::ReadOnly)) // a thread that has just ended has no file
            nanoseconds.insert(thread.toLongLong(), file.readAll().split(' ').first().toLongLong());
    }
    return nanoseconds;
}

} // namespace

ProcessUsage ProcessUsage::of(qint64 pid)
{
    const QByteArray status = procFile(pid, "status");
    return {statusKiB(status, "VmRSS"), statusKiB(status, "VmHWM"),
            statCpuSeconds(procFile(pid, "stat")), threadRunTimes(pid)};
}

double ProcessUsage::threadCpuSecondsSince(const ProcessUsage& earlier) const
{
    qint64 nanoseconds = 0;
    for (auto thread = threadNanoseconds.cbegin(); thread != threadNanoseconds.cend(); ++thread)
        nanoseconds += thread.value() - earlier.threadNanoseconds.value(thread.key(), 0);
    return static_cast<double>(nanoseconds) / 1e9;
}
