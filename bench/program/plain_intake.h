#pragma once

// The plain cost of taking drop files: this thread lists `count` drop files (as the benchmark
// drops them for the controller), reads each one whole and deletes it, with nothing else
// around it. Returns the CPU seconds that took, as getrusage counts this thread's user and
// system time. Throws Failure.
double plainIntakeCpuSeconds(int count);
