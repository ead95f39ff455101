#pragma once

#include "link/Link.h"
#include "tests/support/FakeLinkView.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/SimulatedPort.h"
#include "tests/support/TestEventLoop.h"
#include "tests/support/VirtualClock.h"

#include <functional>

// A link on a simulated port in virtual time; the calls it posts run on the test's event loop.
struct VirtualLink {
    VirtualClock clock;
    SimulatedPort port{clock, nullptr};
    FakeLinkView view;
    ScriptedMessageBoxes boxes;
    TestEventLoop loop{clock};
    Link link{port,  view,  boxes,
              clock, clock, [this](std::function<void()> call) { loop.post(call); }};
};
