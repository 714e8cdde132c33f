#pragma once

#include <QLoggingCategory>
#include <QString>

// The program's log, on standard error (the journal under systemd), and in a file of its own when
// standard error is kept nowhere (see logToFileIfUnkept()): the start, each source or display
// failure and its recovery at warning and info level, each message shown at debug level. Debug
// is off unless asked for: QT_LOGGING_RULES="mostrela.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcMostrela)

// The text with each control character (C0, DEL and C1) written as "\xHH". Names and texts from
// outside (a drop file's name, a row's line, a driver's error) would otherwise reach a terminal
// or the journal as escape sequences that rewrite what is shown, or as false line breaks.
QString escapedControlCharacters(const QString& text);

// From here on every line logged, the program's and Qt's, goes out with its control characters
// escaped; and a warning of Qt's own (its ODBC driver's "Unable to execute statement", say) that
// repeats one already logged is left out until the program logs a recovery, as the program logs
// its own failures: a lasting failure is one line, not one a tick and a row.
// It also notes whether standard error is kept (standardErrorIsKept()); if not, the lines wait
// for logToFileIfUnkept(). A handler installed before it other than Qt's own (a test's) gets each
// line let through in place of standard error.
void installLogHandler();

// When standard error is kept nowhere (a windowed program on Windows started from a shortcut,
// a program on Unix whose standard error is /dev/null), every line logged, those before this
// call included, also goes to the file `path`, with its date and time, bounded to 1 MB and one
// older file (LogFile). Otherwise nothing.
void logToFileIfUnkept(const QString& path);

// A failure is over: Qt's warnings are logged again, once each, from here on.
void forgetQtWarnings();
