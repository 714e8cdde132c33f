#include "window/usual_values.h"

#include "display/display_presets.h"

#include <QComboBox>
#include <QLabel>

UsualValues::UsualValues(QComboBox* modelChoice) : QObject(modelChoice), m_modelChoice(modelChoice)
{
    connect(modelChoice, &QComboBox::currentIndexChanged, this, &UsualValues::follow);
    follow(modelChoice->currentIndex());
}

QLabel* UsualValues::hint(Settings::Key key)
{
    auto* label = new QLabel;
    label->setObjectName(QStringLiteral("lblHabitual") + Settings::keyName(key));
    label->setToolTip(QStringLiteral("Valor habitual. ") + Settings::help(key));
    m_hints[key] = label;
    show(key, label);
    return label;
}

void UsualValues::follow(int index)
{
    const DisplayPreset* preset = displayPresetWithKey(m_modelChoice->itemData(index).toString());
    if (!preset)
        return;
    m_preset = preset;
    for (const auto& [key, label] : m_hints)
        show(key, label);
}

void UsualValues::show(Settings::Key key, QLabel* label) const
{
    QString value = Settings::initialText(key);
    if (m_preset) {
        for (const auto& [presetKey, presetValue] : m_preset->settingValues()) {
            if (presetKey == key)
                value = presetValue;
        }
    }
    label->setText(QStringLiteral("(%1)").arg(value.isEmpty() ? QStringLiteral("vazio") : value));
}
