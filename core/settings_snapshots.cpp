#include "core/settings_snapshots.h"

#include "core/code_sequence.h"
#include "core/failure.h"
#include "core/numbers.h"
#include "core/settings.h"

#include <algorithm>
#include <cmath>

namespace {

using Key = Settings::Key;

const SettingRuleDefinition& bounds = settingRule(SettingRule::lineWidth);

template <typename Value> SettingReading<Value> reading(const QString& text)
{
    SettingReading<Value> result;
    result.problem = runTrapped([&] { result.value = Value::parse(text); });
    return result;
}

qint64 validityMs(const QString& seconds)
{
    const double value = leadingNumber(seconds);
    if (!(value > 0) || value > settingRule(SettingRule::age).highest)
        return 0;
    return std::max<qint64>(1, std::llround(value * 1000));
}

} // namespace

LineWidth LineWidth::read(const QString& text)
{
    LineWidth width{text, std::nullopt};
    const double letters = std::nearbyint(leadingNumber(text)); // halves to the even neighbour
    if (hasLeadingNumber(text) && letters >= bounds.lowest && letters <= bounds.highest)
        width.letters = static_cast<qint16>(letters);
    return width;
}

QString LineWidth::problem() const
{
    if (letters)
        return {};
    if (!hasLeadingNumber(text))
        return QStringLiteral("O número de letras por linha não é um número: \"%1\"").arg(text);
    return QStringLiteral("Número de letras por linha fora dos limites (%1 a %2): \"%3\"")
        .arg(bounds.lowest)
        .arg(bounds.highest)
        .arg(text);
}

qint16 LineWidth::value() const
{
    if (!letters)
        throw Failure(problem());
    return *letters;
}

DisplaySettings displaySettings(const Settings& settings)
{
    const auto codes = [&settings](Key key) { return codeSequenceBytes(settings.text(key)); };
    return {settings.text(Key::Porta),
            LineWidth::read(settings.text(Key::NumLetras)),
            reading<LineSettings>(settings.text(Key::PortaDefinicoes)),
            reading<CodePage>(settings.text(Key::PaginaCodigos)),
            codes(Key::Limpa),
            codes(Key::InitLinha1),
            codes(Key::FimLinha1),
            codes(Key::InitLinha2),
            codes(Key::FimLinha2)};
}

SourceSettings sourceSettings(const Settings& settings)
{
    return {settings.ligaSQL(),
            settings.ligaFicheiros(),
            settings.text(Key::SQL_Servidor),
            settings.text(Key::SQL_Utilizador),
            settings.text(Key::SQL_Password),
            settings.text(Key::SQL_BaseDados),
            settings.text(Key::LigaFicheirosPath),
            LineWidth::read(settings.text(Key::NumLetras))};
}

RotationSettings rotationSettings(const Settings& settings)
{
    return {settings.mostraDefault(), settings.text(Key::Default_Linha1),
            settings.text(Key::Default_Linha2), validityMs(settings.text(Key::SegundosValidade))};
}
