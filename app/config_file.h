#pragma once

#include <QString>
#include <QtGlobal>

class Settings;

// Mostrela.cfg: one "Key=Value" line per setting, Windows-1252, CR LF after every line.

// A real file is well under a kilobyte; anything larger than this is not a settings file, and
// reading it whole would only delay the window.
inline constexpr qint64 configFileMaximumSize = 16 * 1024 * 1024;

// The file's text for the current settings, in key order. LigaSQL and LigaFicheiros appear
// only as "=1" lines when selected.
QString configFileText(const Settings& settings);

// Replaces the file at `path` with the settings, all at once: a save that fails leaves the old
// file as it was. A new file is readable by its owner only. Throws Failure.
void writeConfigFile(const QString& path, const Settings& settings);

// Reads the file at `path` into the settings. Every key is looked for, case-sensitively, as
// "Key=" anywhere in each line, and a later line overwrites an earlier one. Only a regular file (or
// a link to one) of at most configFileMaximumSize bytes is read. Throws Failure at the first
// problem; the fields set before it keep their new values.
void readConfigFile(const QString& path, Settings& settings);
