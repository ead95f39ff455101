#include "ui/FramePacer.h"

#include "ui/PaintNow.h"

FramePacer::FramePacer(QWidget& widget) : m_widget(widget) {
    m_frame.setSingleShot(true);
    m_frame.setTimerType(Qt::PreciseTimer);
    m_frame.setInterval(kFrameMs);
    connect(&m_frame, &QTimer::timeout, this, &FramePacer::showNow);
}

void FramePacer::request() {
    if (!m_frame.isActive())
        m_frame.start();
}

void FramePacer::showNow() {
    m_frame.stop();
    for (Client* client : m_clients)
        client->applyPending();
    PaintNow::changes(m_widget);
}
