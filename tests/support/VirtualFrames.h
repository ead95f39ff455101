#pragma once

#include "tests/support/VirtualClock.h"

#include <functional>

// The window's frames in virtual time, as the window paces them: a change to the log or to
// `Zeile` asks for a frame, which comes kFrameMs later; when it comes, it first runs the
// before-frame call (the link takes in the input held for it), and what that asks for comes with
// the next frame.
class VirtualFrames {
public:
    static constexpr qint64 kFrameMs = 45;

    explicit VirtualFrames(VirtualClock& clock) : m_clock(clock) {}

    void setBeforeFrame(std::function<void()> before) { m_before = std::move(before); }
    void request() {
        if (m_pending)
            return;
        m_pending = true;
        m_clock.schedule(m_clock.now() + kFrameMs, [this] {
            m_pending = false;
            if (m_before)
                m_before();
            ++m_frames;
        });
    }
    bool pending() const { return m_pending; }
    int frames() const { return m_frames; }

private:
    VirtualClock& m_clock;
    std::function<void()> m_before;
    bool m_pending = false;
    int m_frames = 0;
};
