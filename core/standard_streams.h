#pragma once

#include <QString>
#include <QtGlobal>

#include <cstdio>

// The standard output and error as the system gives them to the program, and what reads them.

// Whether what the program writes to its standard error is shown or kept. On Windows: when the
// program has a console (started from one, or attached to it). On Unix: unless standard error is
// closed or a device other than a terminal (/dev/null, which launchers often give); a terminal,
// the journal's socket, a pipe that a parent reads and a file someone redirected it to all count.
// Where it is not, the log goes to a file of its own.
bool standardErrorIsKept();

// Writes `text` to `stream` (stdout or stderr) as its reader needs it: a Windows console in UTF-16,
// whatever its code page; anything else in UTF-8. Returns false when there is no such stream
// (a windowed program on Windows with no console).
bool writeToStandardStream(std::FILE* stream, const QString& text);

// Writes `text` to `stream` in UTF-8, as a pipe, a file or a Unix terminal takes it. Returns
// false when not all of it could be written.
bool writeUtf8(std::FILE* stream, const QString& text);

// Hands one line of the log to standard error: Qt's own handler `qtHandler` on Unix, which knows
// the journal; writeToStandardStream() on Windows, whose console Qt would write in the wrong code
// page, and Qt's handler only when there is no standard error (the debugger's output).
void writeLogToStandardError(QtMsgType type, const QMessageLogContext& context,
                             const QString& message, QtMessageHandler qtHandler);
