#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A Wine prefix of a test's own, made fresh, in which Windows programs run as on a till: on the
// offscreen platform with Qt's log on standard error (Wine hands a Windows program no QT_*
// variable, so they are the user's environment in the prefix's registry), with COM ports that
// are pseudo-terminals and the host's root as drive Z:. Every program still running in it, and
// its server, have ended before its folder goes. Throws Failure when a step fails.
class WinePrefix {
public:
    WinePrefix();
    ~WinePrefix();
    WinePrefix(const WinePrefix&) = delete;
    WinePrefix& operator=(const WinePrefix&) = delete;

    // The host's path as the Windows program names it, on drive Z:.
    static QString windowsPath(const QString& hostPath);
    // A path on the prefix's drive C:, "C:\users\..." or "C:/users/...", on the host.
    QString hostPath(const QString& windowsPath) const;

    // The user's environment variable `name`, which programs started from now on get.
    void setUserVariable(const QString& name, const QString& value) const;

    // COMn is the device at `devicePath` from now on.
    void mapComPort(int number, const QString& devicePath) const;

    // Sets `process` up to run a Windows program (a host path or one on C:) in this prefix.
    void prepare(QProcess& process, const QString& program, const QStringList& arguments) const;

    // Runs a Windows program to its end; returns its exit code and, in `output`, its standard
    // output and error.
    int run(const QString& program, const QStringList& arguments, QByteArray* output = nullptr);

    // Waits until no program runs in the prefix any longer.
    void waitForAll() const;

    // Ends every program in the prefix and its server at once, as a power cut ends a Windows
    // session, and waits until the server has gone: the next program starts a new session, whose
    // process numbers start again.
    void endSession();

private:
    QProcessEnvironment environment() const;
    // Runs the prefix's server with `option` to its end.
    void runServer(const QString& option) const;
    void runWineTool(const QStringList& arguments) const;

    QTemporaryDir m_folder;
};
