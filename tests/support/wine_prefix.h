#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A fresh Wine prefix of a test's own, where Windows programs run as on a till: offscreen, with
// Qt's log on standard error (Wine passes on no QT_* variable, so they are the user's environment
// in the prefix's registry), COM ports that are pseudo-terminals and the host's root as drive Z:.
// Its programs and its server have ended before its folder goes. Throws Failure when a step fails.
class WinePrefix {
public:
    WinePrefix();
    ~WinePrefix() { endSession(); }

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

    // Runs a Windows program to its end: its exit code, and in `output` its output and errors.
    int run(const QString& program, const QStringList& arguments,
            QByteArray* output = nullptr) const;

    // Waits until no program runs in the prefix any longer.
    void waitForAll() const { runServer(QStringLiteral("-w")); }

    // Ends every program and the server at once, as a power cut ends a Windows session, and waits
    // until the server has gone: the next program starts a new session, its process numbers anew.
    void endSession();

private:
    QProcessEnvironment environment() const;
    void runServer(const QString& option) const;
    void runWineTool(const QStringList& arguments) const;

    QTemporaryDir m_folder;
};
