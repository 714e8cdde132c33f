#pragma once

#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What Unix and Windows do differently with files and folders, behind one face:
// platform_files_unix.cpp and platform_files_windows.cpp, one of which is built. The rest of the
// program asks these for facts and words them itself.

// Whether file names that differ in letter case alone name one file, as they do on Windows.
Qt::CaseSensitivity fileNameCase();

// Whether opening a path goes on through a symbolic link to what it names. Mostrela.cfg may be
// a link to a shared file; a drop file may not, or it could leak any file the controller can
// read onto the display.
enum class Links { follow, refuse };

// What a path turned out to name.
enum class FileKind { regular, missing, link, fifo, device, folder, other, failed };
struct FileLook {
    FileKind kind = FileKind::failed;
    QString reason; // the system's own words, for `failed`
};

// Opens `path` to read and looks at what the open handle names, so that nothing can be swapped
// between the look and the read. A FIFO or a device never blocks (it is opened without waiting);
// a final link is `link` when links are refused. `file` is left open when the kind is `regular`,
// and closed otherwise.
FileLook openToRead(QFile& file, const QString& path, Links links);

// What `path` names, its links followed.
FileLook lookAt(const QString& path);

// Flushes what was written through the open descriptor `handle` to the disk; false, with errno
// set, when it could not.
bool flushToDisk(int handle);

// Renames `from` to `to` unless `to` is taken: false then, and nothing is renamed. Throws Failure
// with the system's reason.
bool renameWithoutReplacing(const QString& from, const QString& to);

// Flushes a folder's entries (names made, renamed or removed) to disk. Throws Failure with the
// system's reason.
void flushFolder(const QString& folder);

// The owner and the permission bits of a file, which a file written in its place is given. Unix
// keeps them in the file; on Windows the folder's access lists decide, and these stay 0.
struct OwnerAndMode {
    quint32 user = 0;
    quint32 group = 0;
    quint32 mode = 0;
};

// Those of the file at `path`, its links followed; nothing when there is no file there.
std::optional<OwnerAndMode> ownerAndMode(const QString& path);

// Gives the open file `handle` the owner and the mode of `former`; false when this process may
// not (only root may give a file away).
bool giveOwnerAndMode(int handle, const OwnerAndMode& former);

// Whether the permission bits of the file at `path` let users other than its owner read it;
// false on Windows, whose files have access lists instead.
bool readableByOthers(const QString& path);

// A name found in a folder. A name whose bytes are not valid in the system's encoding (which
// QDir leaves out) comes with `encodable` false.
struct FolderEntry {
    QString name;
    bool encodable = true;
};

// Every entry of `folder` but "." and "..", of any kind (hidden, links, devices, folders), in no
// order. Throws Failure naming the folder when it cannot be read.
QList<FolderEntry> folderEntries(const QString& folder);

// The home folder that the system's list of accounts gives the user this process runs as, in the
// system's own bytes; empty where there is none (Windows).
QByteArray accountHomeFolder();

// Where an installed program lies: the bin folder of the prefix it was built for
// (`installedBinFolder`) on Unix; the Program Files folders on Windows, where an installer puts
// it wherever the prefix was.
QStringList installedPlaces(const QString& installedBinFolder);
