#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// Settings hold numbers as the text the user typed. Two readings exist:
//  - lenient: the leading numeric part counts (blanks skipped, optional sign, digits, "." as
//    the decimal point), and a text without one is 0;
//  - strict: the whole text, blanks around it aside, must be such a number.

double leadingNumber(const QString& text);
// Whether the text starts (after blanks) with a number at all; "vinte" does not.
bool hasLeadingNumber(const QString& text);
std::optional<double> strictNumber(const QString& text);

// Rounds to the nearest integer, halves to the even neighbour (0.5 -> 0, 1.5 -> 2, 2.5 -> 2).
// Throws Failure when the result does not fit in [minimum, maximum].
qint64 roundHalfEven(double value, qint64 minimum, qint64 maximum);

// A 16-bit integer from a strictly numeric text, rounded half to even. Throws Failure when
// the text is not a number or the value does not fit.
qint16 toInt16(const QString& text);

// A timer interval: the leading number of a text in seconds, times 1000, rounded half to
// even. Throws Failure when the value does not fit in a 32-bit integer.
qint32 millisecondsFromSeconds(const QString& seconds);
