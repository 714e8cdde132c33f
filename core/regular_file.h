#pragma once

#include "core/platform_files.h"

#include <QFile>
#include <QString>

// Opens `path` for reading only when it is a regular file. A FIFO or a device never blocks the
// caller (the file is opened without blocking), and the check is made on the open handle, so the
// file cannot be swapped between the check and the read. Throws Failure naming the file and why
// it was refused.
void openRegularFile(QFile& file, const QString& path, Links links);

// Why `path` (its links followed) cannot be written as a regular file: it is a FIFO, a device or
// a folder, or cannot even be looked at. Empty when it is a regular file or does not exist.
QString notRegularFile(const QString& path);
