#pragma once

#include "core/queued_message.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

struct LineWidth;

// A drop file read and not yet deleted.
struct DropFile {
    QString path;
    QueuedMessage message; // its origin names the file
};

// The drop-folder step of a polling tick, in two parts so that every message is kept safe
// between them: first every "*.dsp" entry of `folder` (in any letter case, in name order) is read,
// then each file is deleted once its message is safe.
//
// The files are read `chunkSize` at a time, each chunk handed to `take` before the next is read,
// so that a folder of thousands is taken a chunk at a time. Once `stopping` is set no further
// file is read nor chunk handed over. An entry that cannot be taken (a
// link, a FIFO, a device, a folder, a name the system cannot encode, a file that cannot be read)
// is left alone, never waited on, and named in `problems`; every other file is still read.
// Throws Failure for a missing folder and a width that cannot be used: then nothing is read.
void readDropFiles(const QString& folder, const LineWidth& numLetras, QStringList& problems,
                   qsizetype chunkSize, const std::atomic<bool>& stopping,
                   const std::function<void(QList<DropFile>&)>& take);

// Deletes a drop file; false, with the reason in `problems`, when it could not be deleted.
bool deleteDropFile(const QString& path, QStringList& problems);
