// Any bytes as a drop file: its two lines never run past their widths, and no line break that
// ends the file reaches them.
#include "intake/drop_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("20240309100000-fuzz.dsp"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data) + 1, static_cast<qint64>(size - 1));
    }
    // The first byte chooses the line width.
    const qsizetype numLetras = data[0] % 41;
    const QString text = dropFileText(path, 3 * numLetras);
    const QueuedMessage message =
        dropMessage(QStringLiteral("20240309100000-fuzz.dsp"), text, numLetras);
    if (text.size() > 3 * numLetras || message.linha1.size() > numLetras ||
        message.linha2.size() > 2 * numLetras || message.ordem != QStringLiteral("20240309100000"))
        __builtin_trap();
    if (text.size() < 3 * numLetras && (text.endsWith(u'\r') || text.endsWith(u'\n')))
        __builtin_trap();
    return 0;
}
