#pragma once

#include <QFile>
#include <QString>

// Opens `path` for reading only when it is a regular file of its own: a link is not followed, a
// FIFO or a device never blocks the caller, and the check is made on the open handle, so the
// file cannot be swapped between the check and the read. Throws Failure naming the file and
// why it was refused.
void openRegularFile(QFile& file, const QString& path);
