#include "support/message_ledger.h"

#include <algorithm>

namespace {

constexpr int numberDigits = 8;
const QString secondLinePrefix = QStringLiteral("linha 2 de ");

QChar sourceLetter(MessageLedger::Source source)
{
    return source == MessageLedger::Source::Database ? u'D' : u'F';
}

QString id(MessageLedger::Source source, int number)
{
    return sourceLetter(source) + QStringLiteral("%1").arg(number, numberDigits, 10, QChar(u'0'));
}

} // namespace

MessageLedger::Message MessageLedger::next(Source source) const
{
    const QString name = id(source, fed(source) + 1);
    return {name, secondLinePrefix + name};
}

void MessageLedger::markFed(Source source)
{
    ++m_fed[index(source)];
}

void MessageLedger::shown(const QString& linha1, const QString& linha2)
{
    ++m_shownTotal;
    const Source source =
        linha1.startsWith(sourceLetter(Source::Database)) ? Source::Database : Source::DropFolder;
    // toInt() gives 0 for what is no number; comparing with the id catches the rest.
    const int number = linha1.mid(1).toInt();
    if (number < 1 || number > fed(source) || linha1 != id(source, number) ||
        linha2 != secondLinePrefix + linha1) {
        ++m_unknown;
        return;
    }
    const int showings = ++m_showings[linha1];
    if (showings > 1)
        ++m_duplicated;
    m_mostShowings = std::max(m_mostShowings, showings);
    int& highest = m_highestShown[index(source)];
    if (number < highest)
        ++m_outOfOrder[index(source)];
    highest = std::max(highest, number);
}
