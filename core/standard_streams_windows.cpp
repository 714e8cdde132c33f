#include "core/standard_streams.h"

#include <io.h>
#include <windows.h>

bool standardErrorIsKept()
{
    return ::GetConsoleWindow() != nullptr;
}

bool writeToStandardStream(std::FILE* stream, const QString& text)
{
    // A windowed program started without a console has no handle behind its streams.
    const int descriptor = _fileno(stream);
    if (descriptor < 0)
        return false;
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return false;
    DWORD mode = 0;
    if (::GetConsoleMode(handle, &mode)) {
        std::fflush(stream);
        DWORD written = 0;
        return ::WriteConsoleW(handle, text.utf16(), static_cast<DWORD>(text.size()), &written,
                               nullptr) != 0;
    }
    return writeUtf8(stream, text);
}

void writeLogToStandardError(QtMsgType type, const QMessageLogContext& context,
                             const QString& message, QtMessageHandler qtHandler)
{
    const QString line = qFormatLogMessage(type, context, message);
    if (line.isNull() || !writeToStandardStream(stderr, line + u'\n'))
        qtHandler(type, context, message);
}
