#pragma once

#include "core/settings_table.h"

#include <QString>

// Whether a setting's text can be used as it stands, by its rule (settings_table.h). A check
// returns why not, in the words the window shows next to the field, or an empty text when the
// value is fine. A value that fails is still kept; the run time reads it as its snapshot says,
// and never uses a number outside the rule's bounds.

QString settingProblem(SettingKey key, const QString& text);

// How a usable value is read when that is not what it says, as the rule reads it ("2,5" in an
// interval is 2 seconds), in the words the window shows next to the field; empty when it reads
// as written, and for a value that cannot be used.
QString settingNote(SettingKey key, const QString& text);

// The only characters a value of `key` is made of; empty when any character may be typed.
QString settingCharacters(SettingKey key);
