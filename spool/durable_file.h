#pragma once

#include <QByteArray>
#include <QString>

// Files that survive a crash or a power cut once written; their folder's entries are flushed
// with flushFolder() (core/platform_files.h).

// A file is written under its name and this suffix, then renamed; one left over by a crash is
// safe to remove.
inline const QString temporarySuffix = QStringLiteral(".tmp");

// Makes the file `path` holding `bytes`: readable and writable by its owner only from the moment
// it exists, flushed to disk, then given its name in one step, so that it is either whole or
// absent. A file of that name is never replaced: the answer is then false, and nothing is left.
// Throws Failure with the system's reason.
bool createDurably(const QString& path, const QByteArray& bytes);
