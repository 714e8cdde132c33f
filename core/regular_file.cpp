#include "core/regular_file.h"

#include "core/failure.h"

#include <QDir>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QFileInfo>

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace {

const QString notRegular = QStringLiteral("não é um ficheiro comum");
const QString symbolicLink = QStringLiteral("é uma ligação simbólica");
const QString missing = QStringLiteral("não existe");

Failure refused(const QString& path, const QString& reason)
{
    return Failure(QStringLiteral("Não foi possível ler o ficheiro \"%1\": %2")
                       .arg(QDir::toNativeSeparators(path), reason));
}

#ifdef Q_OS_UNIX

QString notRegularReason(mode_t mode)
{
    if (S_ISFIFO(mode))
        return notRegular + QStringLiteral(", é um pipe com nome (FIFO)");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return notRegular + QStringLiteral(", é um dispositivo");
    if (S_ISDIR(mode))
        return notRegular + QStringLiteral(", é uma pasta");
    return notRegular;
}

#else

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

// Why the open `handle` is not a regular file to read; empty when it is one.
QString handleRefusal(HANDLE handle, Links links)
{
    if (::GetFileType(handle) != FILE_TYPE_DISK)
        return notRegular + QStringLiteral(", é um dispositivo");
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(handle, &information))
        return qt_error_string(static_cast<int>(::GetLastError()));
    if (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return notRegular + QStringLiteral(", é uma pasta");
    if (links == Links::refuse && (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return symbolicLink;
    return {};
}

#endif

} // namespace

void openRegularFile(QFile& file, const QString& path, Links links)
{
#ifdef Q_OS_UNIX
    const int flags =
        O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (links == Links::refuse ? O_NOFOLLOW : 0);
    int handle = -1;
    do {
        handle = ::open(QFile::encodeName(path).constData(), flags);
    } while (handle < 0 && errno == EINTR);
    if (handle < 0) {
        const int error = errno;
        if (error == ELOOP && links == Links::refuse)
            throw refused(path, symbolicLink);
        throw refused(path, error == ENOENT ? missing : qt_error_string(error));
    }
    struct stat status {};
    QString refusal;
    if (::fstat(handle, &status) != 0)
        refusal = qt_error_string(errno);
    else if (!S_ISREG(status.st_mode))
        refusal = notRegularReason(status.st_mode);
    else if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        refusal = file.errorString();
    if (!refusal.isEmpty()) {
        ::close(handle);
        throw refused(path, refusal);
    }
#else
    const HANDLE handle = openHandle(path, links);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            throw refused(path, missing);
        // A folder cannot be opened as a file at all.
        if (error == ERROR_ACCESS_DENIED && QFileInfo(path).isDir())
            throw refused(path, notRegular + QStringLiteral(", é uma pasta"));
        throw refused(path, qt_error_string(static_cast<int>(error)));
    }
    QString refusal = handleRefusal(handle, links);
    if (!refusal.isEmpty()) {
        ::CloseHandle(handle);
        throw refused(path, refusal);
    }
    // From here the descriptor owns the handle, and QFile the descriptor.
    const int descriptor =
        ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (descriptor < 0) {
        ::CloseHandle(handle);
        throw refused(path, qt_error_string(errno));
    }
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        refusal = file.errorString();
        ::_close(descriptor);
        throw refused(path, refusal);
    }
#endif
}

QString notRegularFile(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return errno == ENOENT ? QString() : qt_error_string(errno);
    return S_ISREG(status.st_mode) ? QString() : notRegularReason(status.st_mode);
#else
    const QFileInfo info(path);
    return !info.exists() || info.isFile() ? QString() : notRegular;
#endif
}
