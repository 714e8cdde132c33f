#include "core/log.h"

#include <QSet>

#include <algorithm>
#include <mutex>

Q_LOGGING_CATEGORY(lcMostrela, "mostrela", QtInfoMsg)

namespace {

QtMessageHandler formerHandler = nullptr;

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

bool isControl(char16_t unit)
{
    return unit < 0x20 || (unit >= 0x7F && unit <= 0x9F);
}

void logHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!isRepeatedQtWarning(type, context, message))
        formerHandler(type, context, escapedControlCharacters(message));
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
    if (formerHandler == nullptr)
        formerHandler = qInstallMessageHandler(logHandler);
}

void forgetQtWarnings()
{
    const std::lock_guard<std::mutex> lock(qtWarningsMutex);
    qtWarningsLogged.clear();
}
