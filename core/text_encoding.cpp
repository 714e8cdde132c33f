#include "core/text_encoding.h"

#include "core/code_page_tables.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

const CodePageTable& windows1252()
{
    return *CodePageTable::of(1252);
}

QString decoded(QStringDecoder::Encoding encoding, const QByteArray& bytes)
{
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    return decoder(bytes);
}

bool hasHighByte(const QByteArray& bytes)
{
    for (const char byte : bytes) {
        if (static_cast<unsigned char>(byte) >= 0x80)
            return true;
    }
    return false;
}

bool hasByteOrderMark(const QByteArray& bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") ||
           bytes.startsWith("\xFE\xFF");
}

} // namespace

QString notText(const QByteArray& bytes)
{
    if (hasByteOrderMark(bytes))
        return {};
    qsizetype zeros[2] = {0, 0}; // at even and at odd offsets
    qsizetype controls = 0;
    for (qsizetype at = 0; at < bytes.size(); ++at) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (byte == 0)
            ++zeros[at % 2];
        if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r')
            ++controls;
    }
    // Latin text in UTF-16 has a zero as the high byte of nearly every character.
    const qsizetype characters = bytes.size() / 2;
    if (characters > 0 && std::max(zeros[0], zeros[1]) > characters / 2 &&
        std::min(zeros[0], zeros[1]) < characters / 8)
        return QStringLiteral("está em UTF-16 sem a marca de ordem dos bytes (BOM); grave-o em "
                              "UTF-8 ou com a marca");
    if (controls > bytes.size() / 16)
        return QStringLiteral("não é um ficheiro de texto");
    return {};
}

QString decodeFileText(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE"))
        return decoded(QStringDecoder::Utf16LE, bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return decoded(QStringDecoder::Utf16BE, bytes.mid(2));
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
    return windows1252().decode(bytes);
}

QByteArray encodeWindows1252(const QString& text)
{
    return windows1252().encode(text);
}
