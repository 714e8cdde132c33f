#include "core/text_encoding.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

const char* const windows1252 = "windows-1252";

bool hasHighByte(const QByteArray& bytes)
{
    for (const char byte : bytes) {
        if (static_cast<unsigned char>(byte) >= 0x80)
            return true;
    }
    return false;
}

} // namespace

QString decodeFileText(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (hasHighByte(bytes)) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8(bytes);
        if (!utf8.hasError())
            return text;
    }
    return decodeWindows1252(bytes);
}

QString withCrLfLineEndings(const QString& text)
{
    QString result;
    result.reserve(text.size() + text.size() / 16);
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar c = text[at];
        if (c == u'\r') {
            result += QStringLiteral("\r\n");
            if (at + 1 < text.size() && text[at + 1] == u'\n')
                ++at;
        } else if (c == u'\n') {
            result += QStringLiteral("\r\n");
        } else {
            result += c;
        }
    }
    return result;
}

QString decodeWindows1252(const QByteArray& bytes)
{
    QStringDecoder decoder(windows1252);
    return decoder(bytes);
}

QByteArray encodeWindows1252(const QString& text)
{
    QStringEncoder encoder(windows1252);
    QByteArray bytes = encoder(text);
    // Single-byte encoding: byte i stands for code point i. The converter marks a character it
    // cannot hold with SUB (0x1A); such a character goes out as "?" instead.
    qsizetype index = 0;
    for (const uint codePoint : text.toUcs4()) {
        if (index < bytes.size() && bytes[index] == '\x1A' && codePoint != 0x1A)
            bytes[index] = '?';
        ++index;
    }
    return bytes;
}
