#pragma once

#include "platform/QtSingleShotTimer.h"
#include "platform/SystemClock.h"
#include "ui/FramePacer.h"
#include "ui/PaintNow.h"
#include "ui/TrafficLog.h"

// A traffic log that is a window of its own, painted at the frames of a pacer on the real timer
// and clock, as the tool's window paints its log.
struct LogWindow {
    explicit LogWindow(LogAnnouncer::Listener listener = LogAnnouncer::assistiveTechnology())
        : log(pacer, nullptr, std::move(listener)) {}

    SystemClock clock;
    QtSingleShotTimer frameTimer;
    FramePacer pacer{frameTimer, clock, [this] { PaintNow::changes(log); }};
    TrafficLog log;
};
