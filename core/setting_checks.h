#pragma once

#include "core/settings_table.h"

#include <QString>

// Whether a setting's text can be used as it stands. Each check returns why not, in the words
// the window shows next to the field, or an empty text when the value is fine. A value that
// fails is still kept and used by its lenient reading: these checks only warn.

// Porta: a port number from 1 (COMn, /dev/ttyS(n-1)) or a device name.
QString portProblem(const QString& text);
// NumLetras: a whole number of characters from 1 to 255.
QString lineWidthProblem(const QString& text);
// A number of seconds from 0, "." as the decimal point; empty counts as 0. SegundosValidade.
QString secondsProblem(const QString& text);
// SegundosTimerSQL, SegundosTimerDisplay: seconds from 0 to 65.535, "." as the decimal point;
// empty counts as 0, which stops the timer's ticks.
QString intervalProblem(const QString& text);
// A code sequence: decimal byte values (0 to 255) joined by "+", at most six; may be empty.
QString codeSequenceProblem(const QString& text);

// The check of `key`'s kind of value; empty for settings that take any text. PortaDefinicoes and
// PaginaCodigos are checked by the rules that read them (LineSettings, CodePage).
QString settingProblem(SettingKey key, const QString& text);

// The only characters a value of `key` is made of; empty when any character may be typed.
QString settingCharacters(SettingKey key);
