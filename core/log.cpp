#include "core/log.h"

#include <algorithm>

Q_LOGGING_CATEGORY(lcMostrela, "mostrela", QtInfoMsg)

namespace {

QtMessageHandler formerHandler = nullptr;

bool isControl(char16_t unit)
{
    return unit < 0x20 || (unit >= 0x7F && unit <= 0x9F);
}

void escapingHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
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

void escapeControlCharactersInLog()
{
    if (formerHandler == nullptr)
        formerHandler = qInstallMessageHandler(escapingHandler);
}
