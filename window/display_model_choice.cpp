#include "window/display_model_choice.h"

#include "display/display_presets.h"

#include <QComboBox>

namespace {

using Key = Settings::Key;

DisplayCodes codesOf(const Settings& settings)
{
    return {settings.text(Key::InitMostrador), settings.text(Key::Limpa),
            settings.text(Key::InitLinha1),    settings.text(Key::FimLinha1),
            settings.text(Key::InitLinha2),    settings.text(Key::FimLinha2)};
}

void showMatching(QComboBox* choice, const Settings& settings)
{
    const DisplayPreset* preset = matchingDisplayPreset(codesOf(settings));
    // "Personalizado" is the last entry, with no key.
    choice->setCurrentIndex(preset ? choice->findData(preset->key) : choice->count() - 1);
}

} // namespace

QComboBox* displayModelChoice(Settings& settings)
{
    auto* choice = new QComboBox;
    choice->setObjectName(QStringLiteral("cboModeloDisplay"));
    choice->setToolTip(QStringLiteral("Escolher o modelo do display preenche os seis códigos, o "
                                      "número de letras (20), as definições da porta e a página "
                                      "de códigos. Mudar um código à mão mostra "
                                      "\"Personalizado\"."));
    for (const DisplayPreset& preset : displayPresets())
        choice->addItem(preset.name, preset.key);
    choice->addItem(QStringLiteral("Personalizado"));
    showMatching(choice, settings);

    // Only a pick by hand fills the fields; showing the match must not.
    QObject::connect(choice, &QComboBox::activated, &settings, [choice, &settings](int index) {
        if (const DisplayPreset* preset = displayPresetWithKey(choice->itemData(index).toString()))
            for (const auto& [key, value] : preset->settingValues())
                settings.setText(key, value);
        showMatching(choice, settings);
    });
    QObject::connect(&settings, &Settings::changed, choice, [choice, &settings](Key key) {
        if (Settings::rule(key) == SettingRule::codeSequence)
            showMatching(choice, settings);
    });
    return choice;
}
