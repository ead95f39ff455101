#pragma once

#include "platform/Sleeper.h"

class FramePacer;

// A pause that first brings the window's streaming changes onto the screen: during the pause
// nothing repaints, and the operator is to see the line the handler pauses after.
class ShowingSleeper final : public Sleeper {
public:
    ShowingSleeper(Sleeper& sleeper, FramePacer& pacer) : m_sleeper(sleeper), m_pacer(pacer) {}
    void sleepMs(int ms) override;

private:
    Sleeper& m_sleeper;
    FramePacer& m_pacer;
};
