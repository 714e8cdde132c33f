#include "core/platform_files.h"

#include "core/failure.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <string>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

FileLook failed(DWORD error)
{
    return {FileKind::failed, qt_error_string(static_cast<int>(error))};
}

// Opened to read and share, as any reader of a file that others write; a device (a name such
// as COM1 or NUL in any folder is one) opens without waiting, and is then refused by its type.
HANDLE openHandle(const QString& path, Links links)
{
    const DWORD flags =
        FILE_ATTRIBUTE_NORMAL | (links == Links::refuse ? FILE_FLAG_OPEN_REPARSE_POINT : DWORD(0));
    return ::CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()),
                         GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, flags, nullptr);
}

// What the open `handle` names.
FileLook lookAtHandle(HANDLE handle, Links links)
{
    if (::GetFileType(handle) != FILE_TYPE_DISK)
        return {FileKind::device, {}};
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(handle, &information))
        return failed(::GetLastError());
    if (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return {FileKind::folder, {}};
    if (links == Links::refuse && (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return {FileKind::link, {}};
    return {FileKind::regular, {}};
}

} // namespace

Qt::CaseSensitivity fileNameCase()
{
    return Qt::CaseInsensitive;
}

FileLook openToRead(QFile& file, const QString& path, Links links)
{
    const HANDLE handle = openHandle(path, links);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return {FileKind::missing, {}};
        // A folder cannot be opened as a file at all.
        if (error == ERROR_ACCESS_DENIED && QFileInfo(path).isDir())
            return {FileKind::folder, {}};
        return failed(error);
    }
    const FileLook look = lookAtHandle(handle, links);
    if (look.kind != FileKind::regular) {
        ::CloseHandle(handle);
        return look;
    }
    // From here the descriptor owns the handle, and QFile the descriptor.
    const int descriptor =
        ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (descriptor < 0) {
        ::CloseHandle(handle);
        return {FileKind::failed, qt_error_string(errno)};
    }
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        const QString reason = file.errorString();
        ::_close(descriptor);
        return {FileKind::failed, reason};
    }
    return look;
}

FileLook lookAt(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {FileKind::missing, {}};
    return {info.isFile() ? FileKind::regular : FileKind::other, {}};
}

bool flushToDisk(int handle)
{
    return ::_commit(handle) == 0;
}

bool renameWithoutReplacing(const QString& from, const QString& to)
{
    // Without MOVEFILE_REPLACE_EXISTING the system itself refuses a name that is taken.
    const std::wstring source = QDir::toNativeSeparators(from).toStdWString();
    const std::wstring target = QDir::toNativeSeparators(to).toStdWString();
    if (::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
        return true;
    const DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        return false;
    throw Failure(qt_error_string(static_cast<int>(error)));
}

void flushFolder(const QString& folder)
{
    Q_UNUSED(folder); // NTFS journals its folder entries
}

std::optional<OwnerAndMode> ownerAndMode(const QString& path)
{
    if (!QFileInfo::exists(path))
        return std::nullopt;
    return OwnerAndMode{};
}

bool giveOwnerAndMode(int handle, const OwnerAndMode& former)
{
    Q_UNUSED(handle);
    Q_UNUSED(former);
    return true;
}

bool readableByOthers(const QString& path)
{
    // Qt reports every file as readable by all without asking the file system's access lists:
    // the bits it gives tell nothing.
    Q_UNUSED(path);
    return false;
}

QList<FolderEntry> folderEntries(const QString& folder)
{
    // Without a name filter, which QDir matches with a regular expression: in Windows builds a
    // thread that matched a compiled one crashes as it ends (see WorkerThread).
    QList<FolderEntry> entries;
    for (const QString& name : QDir(folder).entryList(QDir::AllEntries | QDir::System |
                                                      QDir::Hidden | QDir::NoDotAndDotDot))
        entries.append({name, true});
    return entries;
}

QByteArray accountHomeFolder()
{
    return {};
}

QStringList installedPlaces(const QString& installedBinFolder)
{
    Q_UNUSED(installedBinFolder);
    QStringList places;
    for (const char* variable : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432"}) {
        const QString place = qEnvironmentVariable(variable);
        if (!place.isEmpty())
            places << QDir::fromNativeSeparators(place);
    }
    return places;
}
