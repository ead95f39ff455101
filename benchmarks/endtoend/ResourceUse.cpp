#include "benchmarks/endtoend/ResourceUse.h"

#include <sys/resource.h>
#include <time.h>

ResourceUse ResourceUse::now() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto us = [](const timeval& t) { return qint64(t.tv_sec) * 1'000'000 + t.tv_usec; };
    return {us(usage.ru_utime) + us(usage.ru_stime), qint64(usage.ru_maxrss)};
}

qint64 monotonicNs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}
