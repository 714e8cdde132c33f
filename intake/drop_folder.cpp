#include "intake/drop_folder.h"

#include "core/failure.h"
#include "core/message_queue.h"
#include "core/settings_snapshots.h"
#include "intake/drop_file.h"

#include <QDir>
#include <QFile>

namespace {

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

void takeDropFiles(const QString& folder, const LineWidth& numLetras, MessageQueue& queue,
                   const std::function<void()>& letEventsRun)
{
    const qsizetype width = numLetras.value();
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
