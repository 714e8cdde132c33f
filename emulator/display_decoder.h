#pragma once

#include "display/display_command_set.h"

#include <QByteArray>
#include <array>
#include <memory>

// The rows of a two-line display as the bytes it shows, upper row first.
constexpr qsizetype displayRowCount = 2;
using DisplayRows = std::array<QByteArray, displayRowCount>;

// The width of the displays these command sets drive; the cursor-addressed sets and AEDEX's
// two-line command count on it.
constexpr qsizetype displayColumns = 20;

// Reads one command set, one byte at a time, into the rows a display of that set would show.
// Bytes may arrive in pieces of any size, so a decoder keeps its place between bytes; a byte it
// does not know is ignored.
class DisplayDecoder {
public:
    virtual ~DisplayDecoder() = default;
    virtual void take(char byte, DisplayRows& rows) = 0;
};

std::unique_ptr<DisplayDecoder> makeDisplayDecoder(DisplayCommandSet commandSet);
