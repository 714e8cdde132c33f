#include "core/text_fields.h"

#include "core/failure.h"

namespace {

constexpr qsizetype maximumFields = 32767;
constexpr qsizetype maximumLineLength = 32767;

} // namespace

QString trimSpaces(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

bool SeparaCampos(const QString& text, const QString& separator, QStringList& fields)
{
    const QString trimmedSeparator = trimSpaces(separator);
    if (trimmedSeparator.isEmpty())
        return false;

    QStringList result;
    qsizetype fieldStart = 0;
    for (qsizetype at = text.indexOf(trimmedSeparator); at >= 0;
         at = text.indexOf(trimmedSeparator, fieldStart)) {
        if (result.size() == maximumFields)
            throw Failure(QStringLiteral("O texto tem mais de %1 linhas").arg(maximumFields));
        result.append(trimSpaces(text.mid(fieldStart, at - fieldStart)));
        fieldStart = at + trimmedSeparator.size();
    }
    result.append(trimSpaces(text.mid(fieldStart)));
    fields = result;
    return true;
}

QString ValorDaLinha(const QString& line)
{
    if (line.size() > maximumLineLength)
        throw Failure(QStringLiteral("Linha com mais de %1 caracteres").arg(maximumLineLength));
    return line.mid(line.lastIndexOf(u'=') + 1);
}
