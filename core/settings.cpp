#include "core/settings.h"

#include "core/failure.h"

#include <algorithm>

namespace {

using Key = Settings::Key;

std::size_t indexOf(Key key)
{
    return static_cast<std::size_t>(key);
}

QString fromTable(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QString Settings::keyName(Key key)
{
    return fromTable(settingDefinition(key).name);
}

QString Settings::initialText(Key key)
{
    return fromTable(settingDefinition(key).initial);
}

QString Settings::caption(Key key)
{
    return fromTable(settingDefinition(key).caption);
}

QString Settings::help(Key key)
{
    const QString ruleHelp = fromTable(settingRule(rule(key)).help);
    const QString own = fromTable(settingDefinition(key).help);
    return ruleHelp.isEmpty() ? own : own + u'\n' + ruleHelp;
}

QList<Settings::Key> Settings::keysOnPage(SettingPage page)
{
    QList<Key> keys;
    for (const SettingDefinition& row : settingsTable) {
        if (row.page == page)
            keys.append(row.key);
    }
    std::sort(keys.begin(), keys.end(), [](Key first, Key second) {
        return settingDefinition(first).order < settingDefinition(second).order;
    });
    return keys;
}

Settings::Settings(QObject* parent) : QObject(parent)
{
    for (const SettingDefinition& row : settingsTable) {
        const QString initial = fromTable(row.initial);
        switch (row.kind()) {
        case SettingKind::Text:
            m_texts[indexOf(row.key)] = initial;
            break;
        case SettingKind::CheckState:
            m_mostraDefault = initial.toInt();
            break;
        case SettingKind::Option:
            m_options[indexOf(row.key)] = initial == QStringLiteral("1");
            break;
        }
    }
}

QString Settings::text(Key key) const
{
    Q_ASSERT(isText(key));
    return m_texts[indexOf(key)];
}

void Settings::setText(Key key, const QString& value)
{
    Q_ASSERT(isText(key));
    QString& current = m_texts[indexOf(key)];
    if (current == value)
        return;
    current = value;
    emit changed(key);
}

void Settings::setMostraDefault(int state)
{
    if (state < 0 || state > 2)
        throw Failure(
            QStringLiteral("Valor inválido para MostraDefault: %1 (aceita 0, 1 ou 2)").arg(state));
    if (m_mostraDefault == state)
        return;
    m_mostraDefault = state;
    emit changed(Key::MostraDefault);
}

bool Settings::option(Key key) const
{
    Q_ASSERT(kind(key) == SettingKind::Option);
    return m_options[indexOf(key)];
}

void Settings::setOption(Key key, bool selected)
{
    Q_ASSERT(kind(key) == SettingKind::Option);
    bool& current = m_options[indexOf(key)];
    if (current == selected)
        return;
    current = selected;
    emit changed(key);
}
