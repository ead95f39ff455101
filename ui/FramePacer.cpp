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
    if (m_beforeFrame)
        m_beforeFrame();
    // A request the input made starts the next frame, which takes in what arrives meanwhile.
    paint();
}

void FramePacer::showNow() {
    m_frame.stop();
    paint();
}

void FramePacer::paint() {
    for (Client* client : m_clients)
        client->applyPending();
    PaintNow::changes(m_widget);
}
