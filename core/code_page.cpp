#include "core/code_page.h"

#include "core/code_page_tables.h"
#include "core/failure.h"

#include <QList>
#include <algorithm>
#include <array>

namespace {

// The page's number as the settings name it. Folding sends what is left in Windows-1252, as the
// display has always been sent.
constexpr std::array<int, 6> pageNumbers{CodePage::folding, 437, 850, 858, 860, 1252};

const CodePageTable& tableOf(int number)
{
    return *CodePageTable::of(number == CodePage::folding ? 1252 : number);
}

} // namespace

QString CodePage::problem(const QString& text)
{
    const QString number = text.trimmed();
    if (number.isEmpty())
        return {};
    const bool known = std::any_of(pageNumbers.begin(), pageNumbers.end(),
                                   [&number](int page) { return number == QString::number(page); });
    if (!known)
        return QStringLiteral("A página de códigos é 437, 850, 858, 860 ou 1252; vazio ou 0 tira "
                              "os acentos.");
    return {};
}

CodePage CodePage::parse(const QString& text)
{
    const QString problem = CodePage::problem(text);
    if (!problem.isEmpty())
        throw Failure(
            QStringLiteral("Página de códigos inválida: \"%1\". %2").arg(text.left(40), problem));
    return CodePage(text.trimmed().isEmpty() ? folding : text.trimmed().toInt());
}

QString CodePage::fitted(const QString& text, QChar (*plain)(QChar)) const
{
    const CodePageTable& page = tableOf(m_number);
    QString result;
    result.reserve(text.size());
    for (const char32_t codePoint : text.toUcs4()) {
        if (page.holds(codePoint)) {
            result += QString::fromUcs4(&codePoint, 1);
            continue;
        }
        const QChar folded =
            QChar::requiresSurrogates(codePoint) ? QChar(u'?') : plain(QChar(codePoint));
        result += page.holds(folded.unicode()) ? folded : QChar(u'?');
    }
    return result;
}

QByteArray CodePage::encode(const QString& text) const
{
    return tableOf(m_number).encode(fitted(text, [](QChar c) { return c; }));
}

QString CodePage::decode(const QByteArray& bytes) const
{
    return tableOf(m_number).decode(bytes);
}
