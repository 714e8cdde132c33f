#include "core/regular_file.h"

#include "core/failure.h"

#include <QDir>

namespace {

// Why a file of this look is not read or written as a regular file; empty when it is one.
QString refusal(const FileLook& look)
{
    const QString notRegular = QStringLiteral("não é um ficheiro comum");
    switch (look.kind) {
    case FileKind::regular:
        return {};
    case FileKind::missing:
        return QStringLiteral("não existe");
    case FileKind::link:
        return QStringLiteral("é uma ligação simbólica");
    case FileKind::fifo:
        return notRegular + QStringLiteral(", é um pipe com nome (FIFO)");
    case FileKind::device:
        return notRegular + QStringLiteral(", é um dispositivo");
    case FileKind::folder:
        return notRegular + QStringLiteral(", é uma pasta");
    case FileKind::other:
        return notRegular;
    case FileKind::failed:
        break;
    }
    return look.reason;
}

} // namespace

void openRegularFile(QFile& file, const QString& path, Links links)
{
    const FileLook look = openToRead(file, path, links);
    if (look.kind != FileKind::regular)
        throw Failure(QStringLiteral("Não foi possível ler o ficheiro \"%1\": %2")
                          .arg(QDir::toNativeSeparators(path), refusal(look)));
}

QString notRegularFile(const QString& path)
{
    const FileLook look = lookAt(path);
    return look.kind == FileKind::missing ? QString() : refusal(look);
}
