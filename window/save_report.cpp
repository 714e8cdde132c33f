#include "window/save_report.h"

#include "core/platform_files.h"
#include "core/setting_checks.h"

#include <QDir>
#include <QStringList>

bool passwordReadableByOthers(const QString& path, const Settings& settings)
{
    return !settings.text(Settings::Key::SQL_Password).isEmpty() && readableByOthers(path);
}

QString saveReport(const QString& path, const Settings& settings, const QString& time)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    QStringList parts{QStringLiteral("Configuração gravada em %1 às %2.").arg(shownPath, time)};
    if (passwordReadableByOthers(path, settings))
        parts << QStringLiteral("Atenção: o ficheiro guarda a password SQL e outros utilizadores "
                                "podem lê-lo; para o reservar ao seu dono: chmod 600 %1")
                     .arg(shownPath);
    for (const SettingDefinition& row : settingsTable) {
        if (row.kind() != SettingKind::Text)
            continue;
        const QString note = settingNote(row.key, settings.text(row.key));
        if (!note.isEmpty())
            parts << Settings::caption(row.key) + QStringLiteral(": ") + note;
    }
    return parts.join(u' ');
}
