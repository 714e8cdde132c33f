// Any bytes as Mostrela.cfg: reading must end in settings or a clear failure, never a crash.
#include "app/config_file.h"
#include "core/failure.h"
#include "core/settings.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

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
    // Whatever was read can be written out again.
    const QString text = configFileText(settings);
    if (text.isEmpty())
        __builtin_trap();
    return 0;
}
