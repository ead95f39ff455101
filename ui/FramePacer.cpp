#include "ui/FramePacer.h"

#include "ui/PaintNow.h"

FramePacer::FramePacer(QWidget& widget) : m_widget(widget) {
    m_frame.setSingleShot(true);
    m_frame.setTimerType(Qt::PreciseTimer);
    m_frame.setInterval(kFrameMs);
    connect(&m_frame, &QTimer::timeout, this, &FramePacer::frameDue);
}

void FramePacer::request() {
    if (!m_frame.isActive()) {
        m_pending.start();
        m_frame.start();
    } else if (m_pending.elapsed() >= kEarlyMs) {
        // Text streams in: the frame that is almost due is taken with this change, which woke
        // the window anyway, rather than with a wake-up of its own.
        showNow();
    }
}

void FramePacer::frameDue() {
    paint();
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
    PaintNow::changes(m_widget);
}
