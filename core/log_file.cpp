#include "core/log_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

#ifdef Q_OS_WIN
constexpr char lineEnd[] = "\r\n";
#else
constexpr char lineEnd[] = "\n";
#endif

} // namespace

LogFile::LogFile(const QString& path, qint64 boundBytes) : m_path(path), m_boundBytes(boundBytes) {}

QString LogFile::olderPath(const QString& path)
{
    const QFileInfo file(path);
    return file.dir().filePath(file.completeBaseName() + QStringLiteral("-anterior.") +
                               file.suffix());
}

bool LogFile::append(const QString& line) const
{
    const QByteArray bytes = line.toUtf8() + lineEnd;
    QFile file(m_path);
    QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Append;
    const qint64 size = QFileInfo(m_path).size();
    if (size > 0 && size + bytes.size() > m_boundBytes) {
        const QString older = olderPath(m_path);
        QFile::remove(older);
        // A file that cannot be moved aside (held open elsewhere on Windows) starts again, to
        // keep the bound.
        if (!QFile::rename(m_path, older))
            mode = QIODevice::WriteOnly | QIODevice::Truncate;
    }
    // What the program logs (a row's text, at debug level) is for the user alone, as the spool is.
    return file.open(mode, QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
           file.write(bytes) == bytes.size();
}
