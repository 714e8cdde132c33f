#pragma once

// The CPU seconds this thread has used, user and system, as getrusage counts them.
double threadCpuSeconds();

// The plain cost of taking drop files: this thread lists `count` drop files (as the benchmark
// drops them for the controller), reads each one whole and deletes it, with nothing else
// around it. Returns the CPU seconds that took, as getrusage counts this thread's user and
// system time. Throws Failure.
double plainIntakeCpuSeconds(int count);

// The same with the least that keeps a file's message through a crash, one file at a time: its
// text written to a file of its own in another folder, flushed to disk and renamed there, and
// that folder flushed, before the drop file is deleted. The floor under any intake that loses
// nothing.
double durableIntakeCpuSeconds(int count);
