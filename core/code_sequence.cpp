#include "core/code_sequence.h"

#include <limits>

namespace {

constexpr qsizetype windowLength = 100;
constexpr qint16 fieldsPerCode = 6;

bool isDecimalDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

QString ExtraiCodigo(qint16 field, const QString& sequence)
{
    QString digits;
    qint16 current = 1;
    const qsizetype end = std::min(sequence.size(), windowLength);
    for (qsizetype at = 0; at < end; ++at) {
        const QChar c = sequence[at];
        if (c == u'+')
            ++current;
        if (current == field && isDecimalDigit(c))
            digits += c;
    }
    return digits;
}

QByteArray codeSequenceBytes(const QString& sequence)
{
    QByteArray bytes;
    for (qint16 field = 1; field <= fieldsPerCode; ++field) {
        bool ok = false;
        // A value too large for a 32-bit integer is no number at all, like an empty field.
        const int value = ExtraiCodigo(field, sequence).toInt(&ok);
        if (ok && value >= 0 && value <= std::numeric_limits<unsigned char>::max())
            bytes.append(static_cast<char>(value));
    }
    return bytes;
}
