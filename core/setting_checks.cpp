#include "core/setting_checks.h"

#include "core/code_page.h"
#include "core/line_settings.h"
#include "core/numbers.h"
#include "core/timer.h"

#include <QStringList>
#include <cmath>

namespace {

constexpr int widestLine = 255;
constexpr int largestByte = 255;
constexpr int codesSent = 6;

const QString digits = QStringLiteral("0123456789");

bool madeOf(const QString& text, const QString& characters)
{
    for (const QChar c : text) {
        if (!characters.contains(c))
            return false;
    }
    return true;
}

bool isCodeSequence(SettingKey key)
{
    switch (key) {
    case SettingKey::InitMostrador:
    case SettingKey::Limpa:
    case SettingKey::InitLinha1:
    case SettingKey::InitLinha2:
    case SettingKey::FimLinha1:
    case SettingKey::FimLinha2:
        return true;
    default:
        return false;
    }
}

bool isInterval(SettingKey key)
{
    return key == SettingKey::SegundosTimerSQL || key == SettingKey::SegundosTimerDisplay;
}

bool isSeconds(SettingKey key)
{
    return isInterval(key) || key == SettingKey::SegundosValidade;
}

} // namespace

QString portProblem(const QString& text)
{
    if (text.trimmed().isEmpty())
        return QStringLiteral("Indique a porta: um número (1 é a primeira porta série) ou o nome "
                              "do dispositivo.");
    const std::optional<double> number = strictNumber(text);
    if (number && (*number < 1 || *number != std::floor(*number)))
        return QStringLiteral("O número da porta é um número inteiro a partir de 1.");
    return {};
}

QString lineWidthProblem(const QString& text)
{
    if (text.trimmed().isEmpty())
        return QStringLiteral("Indique quantas letras cabem numa linha do display (1 a 255).");
    const std::optional<double> letters = strictNumber(text);
    if (!letters)
        return QStringLiteral("Escreva só algarismos: o número de letras de uma linha (1 a 255).");
    if (*letters != std::floor(*letters))
        return QStringLiteral("O número de letras é um número inteiro.");
    if (*letters < 1 || *letters > widestLine)
        return QStringLiteral("O número de letras vai de 1 a 255.");
    return {};
}

QString secondsProblem(const QString& text)
{
    if (text.trimmed().isEmpty())
        return {};
    const std::optional<double> seconds = strictNumber(text);
    if (!seconds) {
        if (text.contains(u','))
            return QStringLiteral("Use o ponto como separador decimal: 2.5 e não 2,5.");
        return QStringLiteral("Escreva só um número de segundos, por exemplo 2 ou 0.5.");
    }
    if (*seconds < 0)
        return QStringLiteral("O número de segundos não pode ser negativo.");
    return {};
}

QString intervalProblem(const QString& text)
{
    if (const QString problem = secondsProblem(text); !problem.isEmpty())
        return problem;
    // The same rounding as the timer's (half to even on the milliseconds).
    if (std::nearbyint(leadingNumber(text) * 1000.0) > static_cast<double>(Timer::maximumInterval))
        return QStringLiteral("O máximo são 65.535 segundos.");
    return {};
}

QString codeSequenceProblem(const QString& text)
{
    if (text.isEmpty())
        return {};
    if (!madeOf(text, digits + u'+'))
        return QStringLiteral("Só algarismos e +, por exemplo 27+81+65.");
    const QStringList codes = text.split(u'+');
    for (const QString& code : codes) {
        if (code.isEmpty())
            return QStringLiteral("Falta um código antes ou depois de um +.");
        if (code.size() > 3 || code.toInt() > largestByte)
            return QStringLiteral("O código %1 passa de 255.").arg(code);
    }
    if (codes.size() > codesSent)
        return QStringLiteral("Só os 6 primeiros códigos são enviados ao display.");
    return {};
}

QString settingProblem(SettingKey key, const QString& text)
{
    if (key == SettingKey::Porta)
        return portProblem(text);
    if (key == SettingKey::NumLetras)
        return lineWidthProblem(text);
    if (isInterval(key))
        return intervalProblem(text);
    if (key == SettingKey::SegundosValidade)
        return secondsProblem(text);
    if (isCodeSequence(key))
        return codeSequenceProblem(text);
    if (key == SettingKey::PortaDefinicoes)
        return LineSettings::problem(text);
    if (key == SettingKey::PaginaCodigos)
        return CodePage::problem(text);
    return {};
}

QString settingCharacters(SettingKey key)
{
    if (key == SettingKey::NumLetras || key == SettingKey::PaginaCodigos)
        return digits;
    if (key == SettingKey::PortaDefinicoes)
        return digits + QStringLiteral(",neomsNEOMS");
    if (isSeconds(key))
        return digits + u'.';
    if (isCodeSequence(key))
        return digits + u'+';
    return {};
}
