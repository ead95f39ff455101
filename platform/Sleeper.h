#pragma once

// A blocking pause of the window thread. Nothing else runs meanwhile: no repaint, no click and
// no receive notification; received bytes collect in the port.
class Sleeper {
public:
    virtual ~Sleeper() = default;
    virtual void sleepMs(int ms) = 0;
};
