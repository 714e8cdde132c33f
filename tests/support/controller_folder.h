#pragma once

#include "core/settings.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A folder laid out as the controller is deployed: Mostrela.cfg beside a drop folder. Its
// settings start out quick for tests (polling every 0.1 s, one message every 0.2 s, idle text
// off) and reach the test database; a test sets the port and the sources, then writes them.
class ControllerFolder {
public:
    ControllerFolder();

    QString path() const { return m_folder.path(); }
    QString filePath(const QString& name) const { return m_folder.filePath(name); }
    QString configPath() const { return filePath("Mostrela.cfg"); }
    QString dropFolder() const { return filePath("entrada"); }

    Settings& settings() { return m_settings; }
    // Writes the settings to Mostrela.cfg; throws Failure.
    void writeConfig() const;

    // Leaves a drop file; says whether it was written whole.
    bool drop(const QString& name, const QByteArray& text) const;
    QStringList dropFilesLeft() const { return QDir(dropFolder()).entryList(QDir::Files); }
    // The messages waiting in the spool.
    qsizetype spoolEntries() const
    {
        return QDir(filePath("fila")).entryList({"*.msg"}, QDir::Files).size();
    }

private:
    QTemporaryDir m_folder;
    Settings m_settings;
};
