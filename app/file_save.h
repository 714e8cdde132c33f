#pragma once

#include <QByteArray>
#include <QString>

// Saves `bytes` as the file at `path`, as a file that people and programs share wants it:
// - through a link, the file that it names is written and the link stays; that file must be a
//   regular file or not exist yet: a device, a FIFO or a folder is refused, and named;
// - the file is replaced all at once, so a failed save leaves the old one whole; when its folder
//   cannot be written but the file can, the file is overwritten in place;
// - an existing file keeps its owner and its mode; a new one is readable and writable by its
//   owner only.
// Returns the path of the file written. Throws Failure naming the file.
QString saveFile(const QString& path, const QByteArray& bytes);
