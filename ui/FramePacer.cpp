#include "ui/FramePacer.h"

#include "platform/Clock.h"
#include "platform/SingleShotTimer.h"

FramePacer::FramePacer(SingleShotTimer& frame, const Clock& clock, std::function<void()> paint)
    : m_frame(frame), m_clock(clock), m_paint(std::move(paint)) {
    m_frame.setTimeout([this] { this->paint(); });
}

bool FramePacer::framePending() const {
    return m_frame.isActive();
}

void FramePacer::request() {
    if (!m_frame.isActive()) {
        m_pendingSinceMs = m_clock.monotonicMs();
        m_frameMs = m_streaming && m_streaming() ? kStreamFrameMs : kFrameMs;
        m_frame.start(m_frameMs);
    } else if (m_clock.monotonicMs() - m_pendingSinceMs >= m_frameMs - kEarlyTakeMs) {
        // Text streams in: the frame that is almost due is taken with this change, which woke
        // the window anyway, rather than with a wake-up of its own.
        showNow();
    }
}

void FramePacer::showNow() {
    m_frame.stop();
    paint();
}

void FramePacer::paint() {
    // Every paint takes in the input held for the frame, whichever way it comes: held input
    // waits for this frame, and the frame it waited for is this one. A request the input makes
    // starts the next frame, which takes in what arrives meanwhile.
    if (m_beforeFrame)
        m_beforeFrame();
    for (Client* client : m_clients)
        client->applyPending();
    m_paint();
}
