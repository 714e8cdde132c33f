#pragma once

#include <QByteArray>
#include <QString>

// Reads the whole of a regular file, or of the regular file that a link names, refusing one of
// more than `maximumSize` bytes. Anything else in its place (a FIFO, a device, a folder) is
// refused at once: the file is opened without blocking and checked on the open handle, and its
// size is counted while reading, never taken from what the file claims. Throws Failure naming
// the file.
QByteArray readRegularFile(const QString& path, qint64 maximumSize);

// Why `path` (its links followed) cannot be written as a regular file: it is a FIFO, a device or
// a folder, or cannot even be looked at. Empty when it is a regular file or does not exist.
QString notRegularFile(const QString& path);
