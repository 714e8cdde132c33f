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
    return writeUtf8(stream, text);
}

void writeLogToStandardError(QtMsgType type, const QMessageLogContext& context,
                             const QString& message, QtMessageHandler qtHandler)
{
    qtHandler(type, context, message);
}
