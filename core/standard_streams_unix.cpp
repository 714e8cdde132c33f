#include "core/standard_streams.h"

#include <sys/stat.h>
#include <unistd.h>

bool standardErrorIsKept()
{
    struct stat status {};
    if (::fstat(STDERR_FILENO, &status) != 0)
        return false;
    return !S_ISCHR(status.st_mode) || ::isatty(STDERR_FILENO) != 0;
}

bool writeToStandardStream(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    const bool written = std::fwrite(bytes.constData(), 1, bytes.size(), stream) ==
                         static_cast<std::size_t>(bytes.size());
    std::fflush(stream);
    return written;
}

void writeLogToStandardError(QtMsgType type, const QMessageLogContext& context,
                             const QString& message, QtMessageHandler qtHandler)
{
    qtHandler(type, context, message);
}
