#include "intake/drop_file.h"

#include "core/failure.h"
#include "core/regular_file.h"
#include "core/text_encoding.h"

#include <QFile>

namespace {

constexpr qsizetype utf8ByteOrderMark = 3;
constexpr qsizetype longestUtf8Sequence = 4;
constexpr qint64 chunkSize = 64 * 1024;

bool isLineBreak(char byte)
{
    return byte == '\r' || byte == '\n';
}

// Bytes at the end of `bytes` that start a UTF-8 sequence longer than what is left of them.
qsizetype incompleteUtf8Tail(const QByteArray& bytes)
{
    for (qsizetype back = 1; back <= qMin<qsizetype>(longestUtf8Sequence - 1, bytes.size());
         ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((byte & 0xC0) == 0x80)
            continue; // a continuation byte: look further back for the lead
        const qsizetype length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

// Whether nothing but line breaks follows in the file; in UTF-16 each break comes with a zero
// byte.
bool onlyLineBreaksLeft(QFile& file, bool utf16)
{
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(chunkSize);
        if (chunk.isEmpty() && file.error() != QFileDevice::NoError)
            break;
        for (const char byte : chunk) {
            if (!isLineBreak(byte) && !(utf16 && byte == '\0'))
                return false;
        }
    }
    return true;
}

QString readFailure(const QString& path, const QString& reason)
{
    return QStringLiteral("Não foi possível ler o ficheiro \"%1\": %2").arg(path, reason);
}

} // namespace

QString dropFileText(const QString& path, qsizetype characters)
{
    QFile file;
    openRegularFile(file, path, Links::refuse);
    // Each character takes at most four bytes (a lone LF counts twice, as CR LF); the slack
    // lets a UTF-8 sequence cut at the end of the read be put back whole.
    const qint64 wanted = utf8ByteOrderMark + (characters + 1) * longestUtf8Sequence;
    QByteArray bytes = file.read(qMin(wanted, qMax<qint64>(file.size(), 0)));
    if (file.error() != QFileDevice::NoError)
        throw Failure(readFailure(path, file.errorString()));
    bool wholeFile = file.atEnd();
    if (!wholeFile) {
        const bool utf16 = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
        const qsizetype cut = utf16 ? 0 : incompleteUtf8Tail(bytes);
        bytes.chop(cut);
        wholeFile = cut == 0 && onlyLineBreaksLeft(file, utf16);
    }
    QString text = withCrLfLineEndings(decodeFileText(bytes));
    if (wholeFile) {
        while (text.endsWith(u'\r') || text.endsWith(u'\n'))
            text.chop(1);
    }
    return text.left(characters);
}

QueuedMessage dropMessage(const QString& fileName, const QString& text, qsizetype numLetras)
{
    return {fileName.left(14), text.left(numLetras), text.mid(numLetras, 2 * numLetras)};
}
