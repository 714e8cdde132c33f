#include "plain_intake.h"

#include "core/failure.h"
#include "core/platform_files.h"
#include "spool/durable_file.h"
#include "support/drop_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>

#include <sys/resource.h>

double threadCpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

namespace {

// Lists, reads, keeps and deletes `count` drop files; the CPU seconds it took.
double intakeCpuSeconds(int count, const std::function<void(int, const QByteArray&)>& keep)
{
    const QTemporaryDir folder;
    if (!folder.isValid())
        throw Failure(QStringLiteral("Cannot make a temporary folder"));
    writeBenchDropFiles(folder.path(), 1, count);

    const double start = threadCpuSeconds();
    const QDir directory(folder.path());
    int taken = 0;
    for (const QString& name : directory.entryList({QStringLiteral("*.dsp")}, QDir::Files,
                                                   QDir::Name | QDir::IgnoreCase)) {
        QFile file(directory.filePath(name));
        QByteArray text;
        if (!file.open(QIODevice::ReadOnly) || (text = file.readAll()).isEmpty())
            throw Failure(QStringLiteral("Cannot read %1: %2").arg(name, file.errorString()));
        keep(++taken, text);
        if (!file.remove())
            throw Failure(QStringLiteral("Cannot delete %1: %2").arg(name, file.errorString()));
    }
    const double used = threadCpuSeconds() - start;
    if (taken != count)
        throw Failure(QStringLiteral("Took %1 of %2 plain files").arg(taken).arg(count));
    return used;
}

} // namespace

double plainIntakeCpuSeconds(int count)
{
    return intakeCpuSeconds(count, [](int, const QByteArray&) {});
}

double durableIntakeCpuSeconds(int count)
{
    const QTemporaryDir kept;
    if (!kept.isValid())
        throw Failure(QStringLiteral("Cannot make a temporary folder"));
    return intakeCpuSeconds(count, [&](int number, const QByteArray& text) {
        createDurably(kept.filePath(QString::number(number)), text);
        flushFolder(kept.path());
    });
}
