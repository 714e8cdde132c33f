#include "plain_intake.h"

#include "core/failure.h"
#include "support/drop_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>

namespace {

double threadCpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace

double plainIntakeCpuSeconds(int count)
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
        if (!file.open(QIODevice::ReadOnly) || file.readAll().isEmpty() || !file.remove())
            throw Failure(QStringLiteral("Cannot take %1: %2").arg(name, file.errorString()));
        ++taken;
    }
    const double used = threadCpuSeconds() - start;
    if (taken != count)
        throw Failure(QStringLiteral("Took %1 of %2 plain files").arg(taken).arg(count));
    return used;
}
