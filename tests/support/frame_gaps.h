#pragma once

#include <QList>

// The longest time between `from` and `to` with no frame on the display: between `from` and the
// first frame after it, between two frames, or between the last one and `to`. `times` are when
// frames arrived, in order; those outside the span are left out.
double longestSilence(const QList<double>& times, double from, double to);
