#include "support/driver_manager_files.h"

#include "core/failure.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <odbcinst.h>
#endif

#ifdef Q_OS_WIN

namespace {

// Wine's own conversions between its drive letters and the Unix file names behind them; each
// answer is allocated on the process heap.
using ToUnixName = char*(__cdecl*)(const wchar_t*);
using ToWindowsName = wchar_t*(__cdecl*)(const char*);

template <typename Function> Function wineFunction(const char* name)
{
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto found = reinterpret_cast<Function>(
        reinterpret_cast<void*>(kernel ? GetProcAddress(kernel, name) : nullptr));
    if (!found)
        throw Failure("The ODBC fixture needs the host's unixODBC, under Wine");
    return found;
}

} // namespace

QString driverManagerFolder(const QString&)
{
    const QByteArray unixFolder = qgetenv("ODBCSYSINI");
    if (unixFolder.isEmpty())
        throw Failure("ODBCSYSINI names no folder for the driver manager's files");
    wchar_t* name = wineFunction<ToWindowsName>("wine_get_dos_file_name")(unixFolder.constData());
    if (!name)
        throw Failure(
            QStringLiteral("Wine has no name for %1").arg(QString::fromLocal8Bit(unixFolder)));
    const QString folder = QDir::fromNativeSeparators(QString::fromWCharArray(name));
    HeapFree(GetProcessHeap(), 0, name);
    return folder;
}

QString driverManagerPath(const QString& path)
{
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    char* name = wineFunction<ToUnixName>("wine_get_unix_file_name")(native.c_str());
    if (!name)
        throw Failure(QStringLiteral("Wine has no Unix name for %1").arg(path));
    const QString unixPath = QFile::decodeName(name);
    HeapFree(GetProcessHeap(), 0, name);
    return unixPath;
}

// Wine's odbc32 copies what unixODBC knows into the registry once, as it is loaded: the driver
// manager's own view is only seen by connecting.
void expectDriverManagerSees(const QString&, const QString&) {}

#else

QString driverManagerFolder(const QString& ownFolder)
{
    qputenv("ODBCSYSINI", QFile::encodeName(ownFolder));
    qputenv("ODBCINI", QFile::encodeName(QDir(ownFolder).filePath("odbc.ini")));
    return ownFolder;
}

QString driverManagerPath(const QString& path)
{
    return path;
}

void expectDriverManagerSees(const QString& dataSource, const QString& database)
{
    // Asking the installer library, which the drivers share for their settings, keeps it loaded for
    // good, so its cache of those settings is not reported as leaked when the drivers unload.
    char seen[1024] = {};
    SQLGetPrivateProfileString(dataSource.toUtf8().constData(), "Database", "", seen, sizeof seen,
                               "odbc.ini");
    if (QString::fromUtf8(seen) != database)
        throw Failure(
            QStringLiteral("The driver manager does not see the data source %1").arg(dataSource));
}

#endif
