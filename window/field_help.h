#pragma once

#include "core/settings_table.h"

#include <QString>

// What each settings field is for, in the words of the person setting up the shop: the
// field's tooltip.
QString fieldHelp(SettingKey key);

// The caption that names a field in the window.
QString fieldCaption(SettingKey key);
