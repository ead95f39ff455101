#include "ui/ShowingSleeper.h"

#include "ui/FramePacer.h"

void ShowingSleeper::sleepMs(int ms) {
    m_pacer.showNow();
    m_sleeper.sleepMs(ms);
}
