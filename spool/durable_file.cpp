#include "spool/durable_file.h"

#include "core/failure.h"
#include "core/platform_files.h"

#include <QFile>

#include <cerrno>

bool createDurably(const QString& path, const QByteArray& bytes)
{
    const QString temporary = path + temporarySuffix;
    QFile::remove(temporary);
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                   QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        throw Failure(file.errorString());
    QString failure;
    if (file.write(bytes) != bytes.size() || !file.flush())
        failure = file.errorString();
    else if (!flushToDisk(file.handle()))
        failure = qt_error_string(errno);
    file.close();
    bool named = false;
    if (failure.isEmpty())
        failure = runTrapped([&] { named = renameWithoutReplacing(temporary, path); });
    if (!named)
        QFile::remove(temporary);
    if (!failure.isEmpty())
        throw Failure(failure);
    return named;
}
