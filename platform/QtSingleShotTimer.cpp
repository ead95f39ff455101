#include "platform/QtSingleShotTimer.h"

QtSingleShotTimer::QtSingleShotTimer() {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
        if (m_timeout)
            m_timeout();
    });
}
