#include "intake/drop_folder.h"

#include "core/failure.h"
#include "core/platform_files.h"
#include "core/settings_snapshots.h"
#include "intake/drop_file.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace {

const QString dropSuffix = QStringLiteral(".dsp");

// Every "*.dsp" entry of the folder, of any kind: those that are not regular files are named,
// not passed over quietly.
QList<FolderEntry> dropEntries(const QString& folder)
{
    if (folder.isEmpty())
        throw Failure(QStringLiteral("A pasta dos ficheiros (.dsp) não está definida"));
    if (!QDir(folder).exists())
        throw Failure(QStringLiteral("A pasta dos ficheiros não existe: \"%1\"").arg(folder));
    QList<FolderEntry> entries = folderEntries(folder);
    entries.removeIf([](const FolderEntry& entry) {
        return !entry.name.endsWith(dropSuffix, Qt::CaseInsensitive);
    });
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& left, const FolderEntry& right) {
                  const int order = left.name.compare(right.name, Qt::CaseInsensitive);
                  return order != 0 ? order < 0 : left.name < right.name;
              });
    return entries;
}

} // namespace

void readDropFiles(const QString& folder, const LineWidth& numLetras, QStringList& problems,
                   qsizetype chunkSize, const std::atomic<bool>& stopping,
                   const std::function<void(QList<DropFile>&)>& take)
{
    const qsizetype width = numLetras.value();
    const QDir directory(folder);
    QList<DropFile> files;
    for (const FolderEntry& entry : dropEntries(folder)) {
        if (stopping)
            return;
        if (files.size() >= chunkSize) {
            take(files);
            files.clear();
        }
        const QString& name = entry.name;
        const QString path = directory.filePath(name);
        if (!entry.encodable) {
            problems << QStringLiteral("Nome de ficheiro inválido na pasta \"%1\": \"%2\"")
                            .arg(QDir::toNativeSeparators(folder), name);
            continue;
        }
        const QString failure = runTrapped([&] {
            // Only what the message keeps of line 2 is read.
            const qsizetype characters = width + std::min<qsizetype>(2 * width, longestLine);
            QueuedMessage message = dropMessage(name, dropFileText(path, characters), width);
            message.origin.dropFile = name;
            files.append({path, message});
        });
        if (!failure.isEmpty())
            problems << failure;
    }
    if (!files.isEmpty() && !stopping)
        take(files);
}

bool deleteDropFile(const QString& path, QStringList& problems)
{
    QFile file(path);
    if (file.remove())
        return true;
    problems << QStringLiteral("Não foi possível apagar o ficheiro \"%1\": %2")
                    .arg(QDir::toNativeSeparators(path), file.errorString());
    return false;
}
