#include "core/code_page.h"

#include "core/failure.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <array>

namespace {

struct Page {
    int number;
    const char* converter; // as the system's converters (ICU) name it
};

// Folding sends what is left in Windows-1252, as the display has always been sent.
constexpr std::array<Page, 6> pages{{
    {CodePage::folding, "windows-1252"},
    {437, "IBM437"},
    {850, "IBM850"},
    {858, "IBM00858"},
    {860, "IBM860"},
    {1252, "windows-1252"},
}};

const char* converterOf(int number)
{
    return std::find_if(pages.begin(), pages.end(),
                        [number](const Page& page) { return page.number == number; })
        ->converter;
}

// A page holds a character when the character comes back from its byte: the converters give a
// substitute byte (0x1A, 0x7F) for one they lack.
class Converters {
public:
    explicit Converters(int number)
        : m_encoder(converterOf(number), QStringEncoder::Flag::Stateless),
          m_decoder(converterOf(number), QStringDecoder::Flag::Stateless)
    {
    }

    bool isValid() const { return m_encoder.isValid() && m_decoder.isValid(); }

    bool holds(char32_t codePoint)
    {
        const QString character = QString::fromUcs4(&codePoint, 1);
        return decode(encode(character)) == character;
    }

    QByteArray encode(const QString& text) { return m_encoder.encode(text); }
    QString decode(const QByteArray& bytes) { return m_decoder.decode(bytes); }

private:
    QStringEncoder m_encoder;
    QStringDecoder m_decoder;
};

} // namespace

QString CodePage::problem(const QString& text)
{
    const QString number = text.trimmed();
    if (number.isEmpty())
        return {};
    const bool known = std::any_of(pages.begin(), pages.end(), [&number](const Page& page) {
        return number == QString::number(page.number);
    });
    if (!known)
        return QStringLiteral("A página de códigos é 437, 850, 858, 860 ou 1252; vazio ou 0 tira "
                              "os acentos.");
    // Without the system's converter every letter would go out as "?".
    if (!Converters(number.toInt()).isValid())
        return QStringLiteral("Este sistema não tem a página de códigos %1.").arg(number);
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
    Converters page(m_number);
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
    Converters page(m_number);
    return page.encode(fitted(text, [](QChar c) { return c; }));
}

QString CodePage::decode(const QByteArray& bytes) const
{
    return Converters(m_number).decode(bytes);
}
