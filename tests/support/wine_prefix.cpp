#include "support/wine_prefix.h"

#include "core/failure.h"
#include "support/deployed_controller.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

constexpr int programMs = 180000;

// Debian keeps the 64-bit loader and the server out of PATH.
QString wineTool(const QString& name)
{
    const QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty() ? QStringLiteral("/usr/lib/wine/") + name : found;
}

void finish(QProcess& process)
{
    if (!process.waitForStarted())
        throw Failure(QString("Cannot start %1: %2").arg(process.program(), process.errorString()));
    if (!process.waitForFinished(programMs)) {
        process.kill();
        process.waitForFinished();
        throw Failure(QStringLiteral("%1 %2 did not end")
                          .arg(process.program(), process.arguments().join(u' ')));
    }
}

} // namespace

WinePrefix::WinePrefix()
{
    if (!m_folder.isValid())
        throw Failure(QStringLiteral("No temporary folder for a Wine prefix"));
    // Wine finds a prefix's server by the folder's device and inode: a server left by a removed
    // folder that had this inode would serve this prefix with that folder's files.
    endSession();
    try {
        runWineTool({"wineboot", "-i"});
        setUserVariable("QT_QPA_PLATFORM", "offscreen");
        setUserVariable("QT_FORCE_STDERR_LOGGING", "1");
        // The registry reaches the disk, and so the next program, once the server has ended.
        waitForAll();
    } catch (...) {
        endSession();
        throw;
    }
}

QString WinePrefix::windowsPath(const QString& hostPath)
{
    return QStringLiteral("Z:") + QDir::cleanPath(hostPath).replace(u'/', u'\\');
}

QString WinePrefix::hostPath(const QString& windowsPath) const
{
    const QString relative = QString(windowsPath).replace(u'\\', u'/');
    if (!relative.startsWith(QStringLiteral("C:/"), Qt::CaseInsensitive))
        throw Failure(QStringLiteral("%1 is not on drive C:").arg(windowsPath));
    return m_folder.filePath(QStringLiteral("drive_c/") + relative.mid(3));
}

void WinePrefix::setUserVariable(const QString& name, const QString& value) const
{
    runWineTool({"reg", "add", "HKCU\\Environment", "/v", name, "/d", value, "/f"});
}

void WinePrefix::mapComPort(int number, const QString& devicePath) const
{
    const QString link = m_folder.filePath(QStringLiteral("dosdevices/com%1").arg(number));
    QFile::remove(link);
    if (!QFile::link(devicePath, link))
        throw Failure(QStringLiteral("Cannot link %1 to %2").arg(link, devicePath));
}

void WinePrefix::prepare(QProcess& process, const QString& program,
                         const QStringList& arguments) const
{
    process.setProcessEnvironment(environment());
    process.setProgram(wineTool(QStringLiteral("wine64")));
    process.setArguments(QStringList{program} + arguments);
}

int WinePrefix::run(const QString& program, const QStringList& arguments, QByteArray* output) const
{
    QProcess process;
    prepare(process, program, arguments);
    // Errors that no caller reads go to the test's own output.
    process.setProcessChannelMode(output ? QProcess::MergedChannels
                                         : QProcess::ForwardedErrorChannel);
    process.start();
    finish(process);
    if (output)
        *output = process.readAll();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void WinePrefix::endSession()
{
    // "-k" ends the programs and then the server, which saves the registry into the folder as
    // it goes, but it waits only so long before it kills the server and returns: "-w" waits
    // for the server's process to be gone. Until it is, the folder must stay.
    try {
        runServer("-k");
        runServer("-w");
    } catch (const Failure&) {
        m_folder.setAutoRemove(false);
        qWarning("The Wine server of %s did not end: the prefix is left behind",
                 qPrintable(m_folder.path()));
    }
}

void WinePrefix::runServer(const QString& option) const
{
    QProcess server;
    server.setProcessEnvironment(environment());
    server.start(wineTool("wineserver"), {option});
    finish(server);
}

QProcessEnvironment WinePrefix::environment() const
{
    // No window on a display, and no offer to fetch Mono or Gecko for a new prefix.
    QProcessEnvironment environment = withoutDisplayServer();
    environment.insert("WINEPREFIX", m_folder.path());
    environment.insert("WINEDEBUG", "-all");
    environment.insert("WINEDLLOVERRIDES", "mscoree,mshtml=");
    return environment;
}

void WinePrefix::runWineTool(const QStringList& arguments) const
{
    if (run(arguments.first(), arguments.mid(1)) != 0)
        throw Failure(QStringLiteral("wine64 %1 failed").arg(arguments.join(u' ')));
}
