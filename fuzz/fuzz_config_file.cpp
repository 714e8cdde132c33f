// Any bytes as Mostrela.cfg: reading must end in settings or a clear failure, never a crash, and
// whatever was read must survive a save and a second read unchanged.
#include "app/config_file.h"
#include "core/failure.h"
#include "core/settings.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace {

bool sameSettings(const Settings& first, const Settings& second)
{
    for (const SettingDefinition& row : settingsTable) {
        if (row.kind() == SettingKind::Text && first.text(row.key) != second.text(row.key))
            return false;
    }
    return first.mostraDefault() == second.mostraDefault() && first.ligaSQL() == second.ligaSQL() &&
           first.ligaFicheiros() == second.ligaFicheiros();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Mostrela.cfg"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    Settings settings;
    runTrapped([&] { readConfigFile(path, settings); });

    Settings readBack;
    const QString error = runTrapped([&] {
        writeConfigFile(path, settings);
        readConfigFile(path, readBack);
    });
    if (!error.isEmpty() || !sameSettings(settings, readBack))
        __builtin_trap();
    return 0;
}
