#include "support/shown_messages.h"

#include "core/text_encoding.h"

namespace {

const QByteArray messageStart("\x0C\x1BQA");
const QByteArray secondLineStart("\r\x1BQB");
constexpr char clear = '\x0C';
constexpr char endOfLine = '\r';

} // namespace

QList<ShownMessages::Shown> ShownMessages::take(const QByteArray& bytes)
{
    m_pending += bytes;
    QList<Shown> shown;
    while (!m_pending.isEmpty()) {
        // Stray unless it begins as a message does, as far as it has come.
        if (!messageStart.startsWith(m_pending.left(messageStart.size()))) {
            skipStray(1);
            continue;
        }
        const qsizetype second = m_pending.indexOf(secondLineStart, messageStart.size());
        const qsizetype end =
            second < 0 ? -1 : m_pending.indexOf(endOfLine, second + secondLineStart.size());
        // A clear before the group is whole means this one was cut short.
        const qsizetype nextClear = m_pending.indexOf(clear, 1);
        if (nextClear >= 0 && (end < 0 || nextClear < end)) {
            skipStray(nextClear);
            continue;
        }
        if (end < 0)
            break; // the rest is still on its way
        const qsizetype secondText = second + secondLineStart.size();
        shown.append({decodeWindows1252(m_pending.first(second).sliced(messageStart.size())),
                      decodeWindows1252(m_pending.sliced(secondText, end - secondText))});
        m_pending.remove(0, end + 1);
    }
    return shown;
}

void ShownMessages::skipStray(qsizetype count)
{
    const qsizetype nextClear = m_pending.indexOf(clear, count);
    const qsizetype skipped = nextClear < 0 ? m_pending.size() : nextClear;
    m_strayBytes += skipped;
    m_pending.remove(0, skipped);
}
