#pragma once

#include <QString>

// What Unix and Windows do differently with files and folders, behind one face:
// platform_files_unix.cpp and platform_files_windows.cpp, one of which is built. The rest of the
// program asks these for facts and words them itself.

// Flushes what was written through the open descriptor `handle` to the disk; false, with errno
// set, when it could not.
bool flushToDisk(int handle);

// Renames `from` to `to` unless `to` is taken: false then, and nothing is renamed. Throws Failure
// with the system's reason.
bool renameWithoutReplacing(const QString& from, const QString& to);

// Flushes a folder's entries (names made, renamed or removed) to disk. Throws Failure with the
// system's reason.
void flushFolder(const QString& folder);
