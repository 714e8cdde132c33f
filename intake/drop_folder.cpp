#include "intake/drop_folder.h"

#include "common/failure.h"
#include "common/message_queue.h"
#include "common/numbers.h"
#include "intake/drop_file.h"

#include <QDir>
#include <QFile>

namespace {

// Far beyond any display, and small enough that three lines of it are read at little cost.
constexpr qint64 widestLine = 32767;

qsizetype lineWidth(const QString& numLetras)
{
    const double width = leadingNumber(numLetras);
    if (width < 0 || width > widestLine)
        throw Failure(QStringLiteral("Número de letras por linha fora dos limites (0 a %1): \"%2\"")
                          .arg(widestLine)
                          .arg(numLetras));
    return roundHalfEven(width, 0, widestLine);
}

QStringList dropFileNames(const QString& folder)
{
    if (folder.isEmpty())
        throw Failure(QStringLiteral("A pasta dos ficheiros (.dsp) não está definida"));
    const QDir directory(folder);
    if (!directory.exists())
        throw Failure(QStringLiteral("A pasta dos ficheiros não existe: \"%1\"").arg(folder));
    return directory.entryList({QStringLiteral("*.dsp")}, QDir::Files | QDir::Hidden,
                               QDir::Name | QDir::IgnoreCase);
}

void deleteDropFile(const QString& path)
{
    QFile file(path);
    if (!file.remove())
        throw Failure(QStringLiteral("Não foi possível apagar o ficheiro \"%1\": %2")
                          .arg(path, file.errorString()));
}

} // namespace

void takeDropFiles(const QString& folder, const QString& numLetras, MessageQueue& queue,
                   const std::function<void()>& letEventsRun)
{
    const qsizetype width = lineWidth(numLetras);
    const QStringList names = dropFileNames(folder);
    letEventsRun();
    const QDir directory(folder);
    for (const QString& name : names) {
        const QString path = directory.filePath(name);
        const QString text = dropFileText(path, 3 * width);
        letEventsRun();
        deleteDropFile(path);
        queue.append(dropMessage(name, text, width));
    }
}
