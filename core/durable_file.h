#pragma once

#include <QByteArray>
#include <QString>

// Files that survive a crash or a power cut once written.

// Writes `bytes` to a temporary file beside `path`, flushes it to disk and renames it to `path`:
// the file is either whole or absent. Throws Failure naming the file.
void writeDurably(const QString& path, const QByteArray& bytes);

// Flushes a folder's entries (names made, renamed or removed) to disk. Throws Failure.
void flushFolder(const QString& folder);
