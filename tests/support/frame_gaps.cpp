#include "support/frame_gaps.h"

#include <algorithm>

double longestSilence(const QList<double>& times, double from, double to)
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
