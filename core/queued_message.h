#pragma once

#include <QString>
#include <optional>

// Where a message was taken from, so that a restart can finish its deletion there.
struct MessageOrigin {
    QString dropFile;       // the drop file's name, or empty
    qint64 numRegisto = -1; // the database row's number, or -1
    // The SQL user whose row it was; none for a drop file, and for a row kept by an earlier
    // version, which did not say.
    std::optional<QString> utilizador;
};

// The most characters a message keeps of each of its texts: far above any display's width, and
// low enough that a runaway source (a megabyte in one row or file) costs no more to take, keep
// and show than an ordinary message.
inline constexpr qsizetype longestLine = 1000;

// A message as taken, each text cut to longestLine characters.
struct QueuedMessage {
    QueuedMessage(const QString& ordem = {}, const QString& linha1 = {}, const QString& linha2 = {})
        : ordem(ordem.left(longestLine)), linha1(linha1.left(longestLine)),
          linha2(linha2.left(longestLine))
    {
    }

    QString ordem;  // where the message came from, in time order
    QString linha1; // display line 1
    QString linha2; // display line 2
    MessageOrigin origin;
    quint64 spoolId = 0; // its entry in the spool; 0 for none
    // When the controller took it from its source, in milliseconds since the epoch; 0 unknown.
    qint64 takenAt = 0;
    // When this run took it, in steadyClockMs(); none for a message carried over from an earlier
    // run. Its age within the run, whatever is done to the wall clock meanwhile.
    std::optional<qint64> takenSteady;
};

// Milliseconds on a clock that never goes back nor jumps while the program runs; its start is
// unspecified, so only differences within one run mean anything.
qint64 steadyClockMs();
