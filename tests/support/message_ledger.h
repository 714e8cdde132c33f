#pragma once

#include <QHash>
#include <QString>

#include <array>

// Every message fed and every message shown, to tell what was lost, shown twice or out of turn.
// Line 1 is the id: its source's letter and its number there ("D00000042"); line 2 repeats the
// id, so that a message made of the halves of two others is caught too.
class MessageLedger {
public:
    enum class Source { Database, DropFolder };
    static constexpr int sourceCount = 2;

    struct Message {
        QString linha1;
        QString linha2;
    };

    // The message that `source` carries next: numbered on from the last one fed there.
    Message next(Source source) const;
    // The message `next(source)` gave is in its source now.
    void markFed(Source source);
    // The display showed these lines.
    void shown(const QString& linha1, const QString& linha2);

    int fed(Source source) const { return m_fed[index(source)]; }
    int fedTotal() const { return fed(Source::Database) + fed(Source::DropFolder); }
    // Every message shown, each showing counted.
    int shownTotal() const { return m_shownTotal; }
    // Fed messages shown at least once.
    int shownOnce() const { return static_cast<int>(m_showings.size()); }
    int lost() const { return fedTotal() - shownOnce(); }
    // Showings beyond the first of a message.
    int duplicated() const { return m_duplicated; }
    int mostShowings() const { return m_mostShowings; }
    // Showings of a message numbered below one shown before it from the same source.
    int outOfOrder(Source source) const { return m_outOfOrder[index(source)]; }
    // Showings that match no fed message.
    int unknown() const { return m_unknown; }

private:
    static int index(Source source) { return static_cast<int>(source); }

    std::array<int, sourceCount> m_fed{};
    std::array<int, sourceCount> m_highestShown{};
    std::array<int, sourceCount> m_outOfOrder{};
    QHash<QString, int> m_showings; // of fed messages, by line 1
    int m_shownTotal = 0;
    int m_duplicated = 0;
    int m_mostShowings = 0;
    int m_unknown = 0;
};
