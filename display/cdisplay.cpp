#include "display/cdisplay.h"

#include "core/failure.h"
#include "core/numbers.h"
#include "core/text_fields.h"
#include "display/display_port.h"

#include <array>
#include <utility>

namespace {

// The letters the display cannot show, each with the plain letter it shows instead. Every
// other character goes out as its code-page byte (Â, Ñ, ü and the like included).
constexpr std::array<std::pair<char16_t, char16_t>, 30> accentFolding{{
    {u'Ã', u'A'}, {u'ã', u'a'}, {u'Ç', u'C'}, {u'ç', u'c'}, {u'Á', u'A'}, {u'á', u'a'},
    {u'À', u'A'}, {u'à', u'a'}, {u'È', u'E'}, {u'è', u'e'}, {u'ê', u'e'}, {u'Ê', u'E'},
    {u'É', u'E'}, {u'é', u'e'}, {u'Ì', u'I'}, {u'ì', u'i'}, {u'Í', u'I'}, {u'í', u'i'},
    {u'Ù', u'U'}, {u'ù', u'u'}, {u'Ú', u'U'}, {u'ú', u'u'}, {u'Ó', u'O'}, {u'ó', u'o'},
    {u'Õ', u'O'}, {u'õ', u'o'}, {u'Ô', u'O'}, {u'ô', u'o'}, {u'Ò', u'O'}, {u'ò', u'o'},
}};

QChar folded(QChar c)
{
    for (const auto& [accented, plain] : accentFolding) {
        if (c == accented)
            return plain;
    }
    return c;
}

} // namespace

void cDisplay::SetPortaComm(const QString& porta, const LineSettings& lineSettings)
{
    skipOnFailure([&] { port().setPort(porta); });
    skipOnFailure([&] { port().setSettings(lineSettings); });
}

void cDisplay::InitDisplay()
{
    m_frame += m_initCodes;
}

void cDisplay::CLSDisplay()
{
    m_frame += m_clearCodes;
}

void cDisplay::Linha(QString& text, qint32 alinhamento, qint16 lineNumber)
{
    if (m_codePage.folds())
        RetiraAcentos(text);
    blankControlCharacters(text);
    // What the page lacks is folded, and "?" if even that is not there.
    text = m_codePage.fitted(trimSpaces(text), folded);
    const QByteArray body = m_codePage.encode(aligned(text, alinhamento));
    if (lineNumber == 1)
        m_frame += m_linha1Start + body + m_linha1End;
    else
        m_frame += m_linha2Start + body + m_linha2End;
}

bool cDisplay::writeFrame()
{
    const QByteArray frame = std::exchange(m_frame, {});
    // A failed open is followed by a failed write and then the close.
    skipOnFailure([this] { port().open(); });
    const QString failure = runTrapped([&] { port().write(frame); });
    if (m_skippedFailure.isEmpty())
        m_skippedFailure = failure;
    skipOnFailure([this] { port().close(); });
    return failure.isEmpty();
}

QString cDisplay::aligned(const QString& text, qint32 alinhamento) const
{
    const qsizetype room = m_comprimentoLinha - text.size();
    if (alinhamento == 0 || room <= 0)
        return text;
    const qsizetype before = alinhamento == 1 ? room : roundHalfEven(room / 2.0, 0, room);
    return QString(before, u' ') + text;
}

void cDisplay::blankControlCharacters(QString& text)
{
    // Only the display's codes may command it: a message's own control characters would.
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = u' ';
    }
}

QString cDisplay::RetiraAcentos(QString& text)
{
    for (QChar& c : text)
        c = folded(c);
    return text;
}

DisplayPort& cDisplay::port() const
{
    if (m_ctrlInterface == nullptr)
        throw Failure(QStringLiteral("O display não tem porta de comunicação"));
    return *m_ctrlInterface;
}

void cDisplay::skipOnFailure(const std::function<void()>& step)
{
    const QString failure = runTrapped(step);
    if (m_skippedFailure.isEmpty())
        m_skippedFailure = failure;
}
