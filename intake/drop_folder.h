#pragma once

#include <QString>
#include <functional>

class MessageQueue;
struct LineWidth;

// The drop-folder step of a polling tick: every "*.dsp" file of `folder` (in any letter case, in
// name order) becomes a queue row and is deleted. A file is deleted before its row is added, so
// a file that cannot be deleted stays in the folder and is never queued twice. `numLetras` is the
// display's line width.
//
// `letEventsRun` is called after listing the folder and after reading each file, before its row
// is added: the window stays responsive while many files are taken.
//
// Throws Failure for a missing folder, a width that is not a sensible number, and a file that
// cannot be read or deleted; the rows added before stay in the queue.
//
// Glossary: NumLetras = letters per line.
void takeDropFiles(const QString& folder, const LineWidth& numLetras, MessageQueue& queue,
                   const std::function<void()>& letEventsRun);
