#include "core/numbers.h"

#include "core/failure.h"

#include <cmath>
#include <limits>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// Length of the numeric part that starts at `from`: optional sign, digits, optional "." and
// digits. Zero when there are no digits at all.
qsizetype numericLength(const QString& text, qsizetype from)
{
    qsizetype at = from;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-'))
        ++at;
    bool digits = false;
    while (at < text.size() && text[at].isDigit() && text[at].unicode() < 128) {
        ++at;
        digits = true;
    }
    if (at < text.size() && text[at] == u'.') {
        ++at;
        while (at < text.size() && text[at].isDigit() && text[at].unicode() < 128) {
            ++at;
            digits = true;
        }
    }
    return digits ? at - from : 0;
}

qsizetype firstNonBlank(const QString& text)
{
    qsizetype at = 0;
    while (at < text.size() && isBlank(text[at]))
        ++at;
    return at;
}

double toDouble(QStringView digits)
{
    // QString::toDouble wants "-.5"/"5." forms to be complete; add the missing zero.
    QString number = digits.toString();
    if (number.endsWith(u'.'))
        number += u'0';
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok ? value : 0.0;
}

} // namespace

double leadingNumber(const QString& text)
{
    const qsizetype start = firstNonBlank(text);
    const qsizetype length = numericLength(text, start);
    return length == 0 ? 0.0 : toDouble(QStringView(text).mid(start, length));
}

bool hasLeadingNumber(const QString& text)
{
    return numericLength(text, firstNonBlank(text)) > 0;
}

std::optional<double> strictNumber(const QString& text)
{
    const qsizetype start = firstNonBlank(text);
    const qsizetype length = numericLength(text, start);
    if (length == 0)
        return std::nullopt;
    for (qsizetype at = start + length; at < text.size(); ++at) {
        if (!isBlank(text[at]))
            return std::nullopt;
    }
    return toDouble(QStringView(text).mid(start, length));
}

qint64 roundHalfEven(double value, qint64 minimum, qint64 maximum)
{
    const double rounded = std::nearbyint(value); // the default rounding mode is to even
    if (!std::isfinite(rounded) || rounded < static_cast<double>(minimum) ||
        rounded > static_cast<double>(maximum))
        throw Failure(QStringLiteral("Número fora dos limites: %1").arg(value, 0, 'g', 17));
    return static_cast<qint64>(rounded);
}

qint16 toInt16(const QString& text)
{
    const std::optional<double> value = strictNumber(text);
    if (!value)
        throw Failure(QStringLiteral("Não é um número: \"%1\"").arg(text.left(40)));
    return static_cast<qint16>(roundHalfEven(*value, std::numeric_limits<qint16>::min(),
                                             std::numeric_limits<qint16>::max()));
}

qint32 millisecondsFromSeconds(const QString& seconds)
{
    return static_cast<qint32>(roundHalfEven(leadingNumber(seconds) * 1000.0,
                                             std::numeric_limits<qint32>::min(),
                                             std::numeric_limits<qint32>::max()));
}
