#include "support/controller_folder.h"

#include "app/config_file.h"
#include "support/file_bytes.h"
#include "support/odbc_fixture.h"

#include <QDir>

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

void ControllerFolder::writeConfig() const
{
    writeConfigFile(configPath(), m_settings);
}

bool ControllerFolder::drop(const QString& name, const QByteArray& text) const
{
    return writeFileBytes(QDir(dropFolder()).filePath(name), text);
}
