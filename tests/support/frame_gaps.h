#pragma once

#include <QList>

#include <algorithm>

// The longest time between `from` and `to` with no frame on the display: between `from` and the
// first frame after it, between two frames, or between the last one and `to`. `times` are when
// frames arrived, in order; those outside the span are left out.
inline double longestSilence(const QList<double>& times, double from, double to)
{
    double longest = 0;
    double previous = from;
    for (const double at : times) {
        if (at <= from)
            continue;
        if (at > to)
            break;
        longest = std::max(longest, at - previous);
        previous = at;
    }
    return std::max(longest, to - previous);
}
