#pragma once

#include <QString>

class Settings;

// Mostrela.cfg: one "Key=Value" line per setting, Windows-1252, CR LF after every line.

// The file's text for the current settings, in key order. LigaSQL and LigaFicheiros appear
// only as "=1" lines when selected.
QString configFileText(const Settings& settings);

// Replaces the file at `path` with the settings, all at once: a save that fails leaves the old
// file as it was. A new file is readable by its owner only. Throws Failure.
void writeConfigFile(const QString& path, const Settings& settings);

// Reads the file at `path` into the settings. Every key is looked for, case-sensitively, as
// "Key=" anywhere in each line, and a later line overwrites an earlier one. Throws Failure at the
// first problem; the fields set before it keep their new values.
void readConfigFile(const QString& path, Settings& settings);
