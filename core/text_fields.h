#pragma once

#include <QString>
#include <QStringList>

// Fields of a text: split on a separator (Mostrela.cfg into its lines), the value of a settings
// line, and a field's spaces trimmed as the display's lines are.

// Splits `text` on `separator` (itself trimmed of blanks first) into `fields`, each field
// trimmed of leading and trailing blanks. A text without the separator gives one field.
// Returns false, leaving `fields` untouched, when the trimmed separator is empty. Throws
// Failure when the text holds more than 32767 separators.
bool SeparaCampos(const QString& text, const QString& separator, QStringList& fields);

// The text after the last "=" of a settings line, or the whole line when it has none. Throws
// Failure for a line longer than 32767 characters.
QString ValorDaLinha(const QString& line);

// Removes leading and trailing spaces (U+0020) only; tabs and other white space stay.
QString trimSpaces(const QString& text);
