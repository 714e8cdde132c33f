#include "intake/drop_folder.h"

#include "core/failure.h"
#include "core/settings_snapshots.h"
#include "intake/drop_file.h"

#include <QDir>
#include <QFile>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <dirent.h>
#endif

namespace {

const QString dropSuffix = QStringLiteral(".dsp");

// Every "*.dsp" entry of the folder, of any kind: those that are not regular files are named,
// not passed over quietly. A name whose bytes are not valid in the system's encoding (which
// QDir leaves out) comes with `encodable` false.
struct DropEntry {
    QString name;
    bool encodable = true;
};

QList<DropEntry> dropEntries(const QString& folder)
{
    if (folder.isEmpty())
        throw Failure(QStringLiteral("A pasta dos ficheiros (.dsp) não está definida"));
    const QDir directory(folder);
    if (!directory.exists())
        throw Failure(QStringLiteral("A pasta dos ficheiros não existe: \"%1\"").arg(folder));
    QList<DropEntry> entries;
#ifdef Q_OS_UNIX
    DIR* stream = ::opendir(QFile::encodeName(folder).constData());
    if (stream == nullptr)
        throw Failure(QStringLiteral("Não foi possível ler a pasta \"%1\": %2")
                          .arg(folder, QString::fromLocal8Bit(std::strerror(errno))));
    while (const dirent* entry = ::readdir(stream)) {
        const QByteArray raw(entry->d_name);
        const QString name = QFile::decodeName(raw);
        if (name.endsWith(dropSuffix, Qt::CaseInsensitive))
            entries.append({name, QFile::encodeName(name) == raw});
    }
    ::closedir(stream);
#else
    // The suffix is tried here rather than by a name filter, which QDir matches with a regular
    // expression: in Windows builds a thread that matched a compiled one crashes as it ends
    // (see WorkerThread).
    for (const QString& name : directory.entryList(QDir::AllEntries | QDir::System | QDir::Hidden |
                                                   QDir::NoDotAndDotDot)) {
        if (name.endsWith(dropSuffix, Qt::CaseInsensitive))
            entries.append({name, true});
    }
#endif
    std::sort(entries.begin(), entries.end(), [](const DropEntry& left, const DropEntry& right) {
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
    for (const DropEntry& entry : dropEntries(folder)) {
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
