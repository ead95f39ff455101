#pragma once

#include <QtGlobal>

// The CPU time a process has used so far, every thread of it together, in nanoseconds, as the
// kernel's scheduler counts it (finer than the 10 ms ticks of /proc/PID/stat); -1 when the
// process is gone. 0 stands for this process.
qint64 processCpuNs(qint64 pid = 0);
