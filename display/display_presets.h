#pragma once

#include "core/settings_table.h"
#include "display/display_command_set.h"

#include <QList>
#include <QString>
#include <utility>
#include <vector>

// The six code sequences of a display, as the display setup holds them (decimal byte values
// joined by "+", empty for none).
struct DisplayCodes {
    QString initMostrador;
    QString limpa;
    QString initLinha1;
    QString fimLinha1;
    QString initLinha2;
    QString fimLinha2;
};

// A display model whose codes are known, so that choosing it can fill in the display setup.
struct DisplayPreset {
    QString key;  // the name the terminal display's --modelo takes
    QString name; // as the window lists it
    DisplayCommandSet commandSet;
    DisplayCodes codes;
    qint16 numLetras;
    QString portaDefinicoes; // the line settings it comes set to
    QString paginaCodigos;   // the code page its codes select; empty when they select none
    QString reference;       // the public source of every code byte and setting

    // The settings that choosing the preset fills in, each with its value.
    QList<std::pair<SettingKey, QString>> settingValues() const;
};

// In the order the window lists them; the first holds the window's initial values.
const std::vector<DisplayPreset>& displayPresets();

// The preset whose six codes give the same bytes as `codes` (so "27+64" matches "27 + 64"), or
// nullptr for codes of no preset (the window's "Personalizado").
const DisplayPreset* matchingDisplayPreset(const DisplayCodes& codes);

// The preset with this key, or nullptr.
const DisplayPreset* displayPresetWithKey(const QString& key);
