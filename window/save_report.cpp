#include "window/save_report.h"

#include "core/setting_checks.h"

#include <QDir>
#include <QFile>
#include <QStringList>

bool passwordReadableByOthers(const QString& path, const Settings& settings)
{
#ifdef Q_OS_WIN
    // The file lies in the account's own profile, and Qt reports every file there as readable
    // by all without asking the file system.
    Q_UNUSED(path);
    Q_UNUSED(settings);
    return false;
#else
    return !settings.text(Settings::Key::SQL_Password).isEmpty() &&
           (QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther));
#endif
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
