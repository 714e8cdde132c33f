#include "core/platform_files.h"

#include "core/failure.h"

#include <QDir>

#include <string>

#include <io.h>
#include <windows.h>

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
