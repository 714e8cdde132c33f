#include "core/setting_checks.h"

#include "core/code_page.h"
#include "core/line_settings.h"
#include "core/numbers.h"
#include "core/timer.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

constexpr int codesSent = 6;

// The window's check and the timers keep the same longest interval.
static_assert(settingRule(SettingRule::interval).highest * 1000 == Timer::maximumInterval);

QString charactersOf(SettingRule rule)
{
    const std::string_view characters = settingRule(rule).characters;
    return QString::fromLatin1(characters.data(), static_cast<qsizetype>(characters.size()));
}

QString portProblem(const QString& text)
{
    if (text.trimmed().isEmpty())
        return QStringLiteral("Indique a porta: um número (1 é a primeira porta série) ou o nome "
                              "do dispositivo.");
    const std::optional<double> number = strictNumber(text);
    const SettingRuleDefinition& port = settingRule(SettingRule::port);
    if (number && (*number < port.lowest || *number != std::floor(*number)))
        return QStringLiteral("O número da porta é um número inteiro a partir de 1.");
    if (number && *number > port.highest)
        return QStringLiteral("O número da porta vai até %1.").arg(port.highest);
    return {};
}

// The number a rule reads from `text`: the whole text, or the number it starts with where the
// rule reads values so.
std::optional<double> numberRead(SettingRule rule, const QString& text)
{
    if (const std::optional<double> number = strictNumber(text))
        return number;
    if (settingRule(rule).leadingNumberRead && hasLeadingNumber(text))
        return leadingNumber(text);
    return std::nullopt;
}

QString lineWidthProblem(const QString& text)
{
    const SettingRuleDefinition& width = settingRule(SettingRule::lineWidth);
    const QString bounds = QStringLiteral("%1 a %2").arg(width.lowest).arg(width.highest);
    if (text.trimmed().isEmpty())
        return QStringLiteral("Indique quantas letras cabem numa linha do display (%1).")
            .arg(bounds);
    const std::optional<double> letters = numberRead(SettingRule::lineWidth, text);
    if (!letters)
        return QStringLiteral("Escreva só algarismos: o número de letras de uma linha (%1).")
            .arg(bounds);
    if (*letters != std::floor(*letters))
        return QStringLiteral("O número de letras é um número inteiro.");
    if (*letters < width.lowest || *letters > width.highest)
        return QStringLiteral("O número de letras vai de %1.").arg(bounds);
    return {};
}

// SegundosValidade, and the first check of an interval. Empty counts as 0.
QString secondsProblem(SettingRule rule, const QString& text)
{
    if (text.trimmed().isEmpty())
        return {};
    const std::optional<double> seconds = numberRead(rule, text);
    if (!seconds)
        return QStringLiteral("Escreva só um número de segundos, por exemplo 2 ou 0.5.");
    if (*seconds < 0)
        return QStringLiteral("O número de segundos não pode ser negativo.");
    return {};
}

// "65.535" followed by its reading in words: a Portuguese reader takes a lone "65.535" for
// sixty-five thousand.
QString secondsInWords(double seconds)
{
    const double whole = std::floor(seconds);
    const int thousandths = static_cast<int>(std::lround((seconds - whole) * 1000));
    QString words = QStringLiteral("%1 segundos").arg(whole, 0, 'f', 0);
    if (thousandths > 0)
        words += QStringLiteral(" e %1 milésimos").arg(thousandths);
    return QStringLiteral("%1 (%2)").arg(QString::number(seconds, 'f', 3), words);
}

QString intervalProblem(const QString& text)
{
    if (const QString problem = secondsProblem(SettingRule::interval, text); !problem.isEmpty())
        return problem;
    // The same rounding as the timer's (half to even on the milliseconds).
    const double highest = settingRule(SettingRule::interval).highest;
    if (std::nearbyint(leadingNumber(text) * 1000.0) > highest * 1000.0)
        return QStringLiteral("O máximo é %1.").arg(secondsInWords(highest));
    return {};
}

QString unitOf(SettingRule rule)
{
    return rule == SettingRule::lineWidth ? QStringLiteral("letras") : QStringLiteral("segundos");
}

QString codeSequenceProblem(const QString& text)
{
    if (text.isEmpty())
        return {};
    const QString characters = charactersOf(SettingRule::codeSequence);
    if (std::any_of(text.begin(), text.end(), [&](QChar c) { return !characters.contains(c); }))
        return QStringLiteral("Só algarismos e +, por exemplo 27+81+65.");
    const QStringList codes = text.split(u'+');
    for (const QString& code : codes) {
        if (code.isEmpty())
            return QStringLiteral("Falta um código antes ou depois de um +.");
        if (code.size() > 3 || code.toInt() > settingRule(SettingRule::codeSequence).highest)
            return QStringLiteral("O código %1 passa de 255.").arg(code);
    }
    if (codes.size() > codesSent)
        return QStringLiteral("Só os 6 primeiros códigos são enviados ao display.");
    return {};
}

} // namespace

QString settingProblem(SettingKey key, const QString& text)
{
    switch (settingDefinition(key).rule) {
    case SettingRule::port:
        return portProblem(text);
    case SettingRule::lineWidth:
        return lineWidthProblem(text);
    case SettingRule::lineSettings:
        return LineSettings::problem(text);
    case SettingRule::codePage:
        return CodePage::problem(text);
    case SettingRule::codeSequence:
        return codeSequenceProblem(text);
    case SettingRule::interval:
        return intervalProblem(text);
    case SettingRule::age:
        return secondsProblem(SettingRule::age, text);
    case SettingRule::freeText:
    case SettingRule::password:
    case SettingRule::folder:
    case SettingRule::checkState:
    case SettingRule::option:
        break;
    }
    return {};
}

QString settingNote(SettingKey key, const QString& text)
{
    const SettingRule rule = settingDefinition(key).rule;
    if (!settingRule(rule).leadingNumberRead || text.trimmed().isEmpty() || strictNumber(text) ||
        !settingProblem(key, text).isEmpty())
        return {};
    QString note = QStringLiteral("Lido como %1 %2: conta só o número do início.")
                       .arg(QString::number(leadingNumber(text)), unitOf(rule));
    if (text.contains(u','))
        note += QStringLiteral(" O separador decimal é o ponto: 2.5 e não 2,5.");
    return note;
}

QString settingCharacters(SettingKey key)
{
    return charactersOf(settingDefinition(key).rule);
}
