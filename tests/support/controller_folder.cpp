#include "support/controller_folder.h"

#include "app/config_file.h"
#include "support/odbc_fixture.h"

#include <QDir>
#include <QFile>

using Key = Settings::Key;

ControllerFolder::ControllerFolder()
{
    QDir().mkpath(dropFolder());
    m_settings.setText(Key::NumLetras, QStringLiteral("20"));
    m_settings.setText(Key::SegundosTimerSQL, QStringLiteral("0.1"));
    m_settings.setText(Key::SegundosTimerDisplay, QStringLiteral("0.2"));
    m_settings.setMostraDefault(0);
    m_settings.setText(Key::SQL_Servidor, OdbcFixture::dataSource());
    m_settings.setText(Key::SQL_Utilizador, OdbcFixture::databaseUser());
    m_settings.setText(Key::LigaFicheirosPath, dropFolder());
}

QString ControllerFolder::configPath() const
{
    return m_folder.filePath(QStringLiteral("Mostrela.cfg"));
}

QString ControllerFolder::dropFolder() const
{
    return m_folder.filePath(QStringLiteral("entrada"));
}

void ControllerFolder::writeConfig() const
{
    writeConfigFile(configPath(), m_settings);
}

bool ControllerFolder::drop(const QString& name, const QByteArray& text) const
{
    QFile file(QDir(dropFolder()).filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

QStringList ControllerFolder::dropFilesLeft() const
{
    return QDir(dropFolder()).entryList(QDir::Files);
}

qsizetype ControllerFolder::spoolEntries() const
{
    return QDir(filePath(QStringLiteral("fila")))
        .entryList({QStringLiteral("*.msg")}, QDir::Files)
        .size();
}
