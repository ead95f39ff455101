#pragma once

#include <QtGlobal>

// What this process has used so far: CPU time, user and system together, and the peak of its
// resident memory.
struct ResourceUse {
    qint64 cpuUs = 0;
    qint64 peakKb = 0;

    static ResourceUse now();
};

// Nanoseconds on the system's monotonic clock; comparable between processes.
qint64 monotonicNs();
