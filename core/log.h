#pragma once

#include <QLoggingCategory>

// The program's log, on standard error (the journal under systemd): the start, each source or
// display failure and its recovery at warning and info level, each message shown at debug level.
// Debug is off unless asked for: QT_LOGGING_RULES="mostrela.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcMostrela)
