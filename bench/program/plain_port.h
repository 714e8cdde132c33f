#pragma once

#include <QtGlobal>

// The plain cost of showing a message as the controller must, with its port closed between
// messages: this thread opens a serial port (a pseudo-terminal), writes a frame of
// `frameBytes` bytes, waits until they have left and closes the port, `count` times, with
// nothing else around it. Returns the CPU seconds of those opens, writes and closes; the
// reading of the other end in between is not counted. Throws Failure.
double plainPortCpuSeconds(int count, qsizetype frameBytes);
