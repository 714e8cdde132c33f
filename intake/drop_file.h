#pragma once

#include "core/queued_message.h"

#include <QString>

// A drop file: a message left by another program as a "*.dsp" file in the drop folder. Its name
// starts with the 14 characters that give its order; its text holds line 1 and line 2 back to
// back, each `numLetras` characters (line 2 may run to twice that).

// The start of the file's text, at most `characters` long: read as UTF-8 or Windows-1252, every
// line break as CR LF, and without the line breaks that end the file. Reads only as much of the
// file as those characters can take, so a huge file costs no more memory than a small one.
// Throws Failure when the file cannot be read, or is not a regular file (a link, a FIFO, a
// device or a folder is never read).
QString dropFileText(const QString& path, qsizetype characters);

// The queue row for a file: "Ordem" the first 14 characters of its name, line 1 the first
// `numLetras` characters of its text, line 2 at most 2 x `numLetras` characters after those.
QueuedMessage dropMessage(const QString& fileName, const QString& text, qsizetype numLetras);
