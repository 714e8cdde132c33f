#pragma once

#include <QtGlobal>

// What a running process holds and has used, as the kernel counts it (/proc/PID/status and
// /proc/PID/stat).
struct ProcessUsage {
    qint64 residentKiB = 0;     // VmRSS
    qint64 peakResidentKiB = 0; // VmHWM, the highest VmRSS so far
    double cpuSeconds = 0;      // user and system time

    // Throws Failure when the process is gone or its figures cannot be read.
    static ProcessUsage of(qint64 pid);
};
