#pragma once

#include "core/settings.h"

#include <QString>

// Whether the settings file at `path` holds the database password where other accounts of this
// computer may read it.
bool passwordReadableByOthers(const QString& path, const Settings& settings);

// What the status bar says once the settings were written to `path` at `time`: where and when;
// then, in this order, that other accounts may read the password, and how each value that is
// read otherwise than written will be read.
QString saveReport(const QString& path, const Settings& settings, const QString& time);
