#include "core/log.h"

#include "core/log_file.h"
#include "core/standard_streams.h"

#include <QDateTime>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <mutex>
#include <optional>

Q_LOGGING_CATEGORY(lcMostrela, "mostrela", QtInfoMsg)

namespace {

QtMessageHandler formerHandler = nullptr;
// Whether the handler before ours is Qt's own, rather than one of a host's (a test's) that wants
// the lines as the log lets them through.
bool formerHandlerIsQts = true;

// Qt's warnings logged since the last recovery; a few distinct ones at a time in practice, bounded
// all the same.
constexpr qsizetype qtWarningsKept = 256;
std::mutex qtWarningsMutex;
QSet<QString> qtWarningsLogged;

bool isRepeatedQtWarning(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtWarningMsg && type != QtCriticalMsg)
        return false;
    if (context.category != nullptr && qstrcmp(context.category, lcMostrela().categoryName()) == 0)
        return false;
    const std::lock_guard<std::mutex> lock(qtWarningsMutex);
    if (qtWarningsLogged.contains(message))
        return true;
    if (qtWarningsLogged.size() >= qtWarningsKept)
        qtWarningsLogged.clear();
    qtWarningsLogged.insert(message);
    return false;
}

// The log's file, when standard error is kept nowhere: the lines logged before its folder is
// known wait for it, a few at most.
constexpr qint64 logFileBoundBytes = 1024 * 1024;
constexpr qsizetype linesKeptForTheFile = 64;
std::mutex logFileMutex;
bool logFileWanted = false;
std::optional<LogFile> logFile;
QStringList linesForTheFile;

void writeToLogFile(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const std::lock_guard<std::mutex> lock(logFileMutex);
    if (!logFileWanted)
        return;
    const QString formatted = qFormatLogMessage(type, context, message);
    if (formatted.isNull())
        return;
    const QString line =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz ")) +
        formatted;
    if (logFile)
        logFile->append(line);
    else if (linesForTheFile.size() < linesKeptForTheFile)
        linesForTheFile << line;
}

bool isControl(char16_t unit)
{
    return unit < 0x20 || (unit >= 0x7F && unit <= 0x9F);
}

void logHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (isRepeatedQtWarning(type, context, message))
        return;
    const QString escaped = escapedControlCharacters(message);
    writeToLogFile(type, context, escaped);
    if (formerHandlerIsQts)
        writeLogToStandardError(type, context, escaped, formerHandler);
    else
        formerHandler(type, context, escaped);
}

} // namespace

QString escapedControlCharacters(const QString& text)
{
    if (std::none_of(text.cbegin(), text.cend(),
                     [](QChar character) { return isControl(character.unicode()); }))
        return text;
    QString escaped;
    escaped.reserve(text.size() + 8);
    for (const QChar character : text) {
        if (isControl(character.unicode()))
            escaped += QStringLiteral("\\x%1").arg(character.unicode(), 2, 16, QLatin1Char('0'));
        else
            escaped += character;
    }
    return escaped;
}

void installLogHandler()
{
    if (formerHandler != nullptr)
        return;
    {
        const std::lock_guard<std::mutex> lock(logFileMutex);
        logFileWanted = !standardErrorIsKept();
    }
    // Qt hands out its own handler's address only when replacing no other.
    const QtMessageHandler current = qInstallMessageHandler(nullptr);
    const QtMessageHandler qts = qInstallMessageHandler(current);
    formerHandler = qInstallMessageHandler(logHandler);
    formerHandlerIsQts = formerHandler == qts;
}

void logToFileIfUnkept(const QString& path)
{
    const std::lock_guard<std::mutex> lock(logFileMutex);
    if (!logFileWanted || logFile)
        return;
    logFile.emplace(path, logFileBoundBytes);
    for (const QString& line : std::as_const(linesForTheFile))
        logFile->append(line);
    linesForTheFile.clear();
}

void forgetQtWarnings()
{
    const std::lock_guard<std::mutex> lock(qtWarningsMutex);
    qtWarningsLogged.clear();
}
