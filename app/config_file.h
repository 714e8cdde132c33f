#pragma once

#include <QString>
#include <QtGlobal>

class Settings;

// Mostrela.cfg: one "Key=Value" line per setting, CR LF after every line; Windows-1252, or UTF-8
// with a byte-order mark when a value needs a character that Windows-1252 lacks.

// A real file is well under a kilobyte; anything larger than this is not a settings file, and
// reading it whole would only delay the window.
inline constexpr qint64 configFileMaximumSize = 16 * 1024 * 1024;

// The file's text for the current settings, in key order. LigaSQL and LigaFicheiros appear
// only as "=1" lines when selected.
QString configFileText(const Settings& settings);

// Writes the settings to the file at `path` as saveFile() does: all at once where its folder
// can be written, through a link only to a regular file, keeping an existing file's owner and
// mode, a new file for its owner only. When the file holds a password that others may read, the
// log says so once a run. A value holding a line break cannot be saved. Throws Failure.
void writeConfigFile(const QString& path, const Settings& settings);

// Reads the file at `path` into the settings; keys are case-sensitive and a later line overwrites
// an earlier one. A line that begins with "Key=" sets that key only, to everything after that
// first "=", so whatever was saved reads back as it was (bar trailing blanks: each line is
// trimmed). A line that begins with no key is read as hand-written files always were: each key
// found as "Key=" anywhere in it takes the text after the line's last "=". A key whose line is
// longer than a text box holds keeps its value, and the log names it. Only a regular file (or a
// link to one) of at most configFileMaximumSize bytes that reads as text is read. Throws Failure
// at the first problem; the fields set before it keep their new values.
void readConfigFile(const QString& path, Settings& settings);
