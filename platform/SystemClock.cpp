#include "platform/SystemClock.h"

#include <QThread>

void SystemClock::sleepMs(int ms) {
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}
