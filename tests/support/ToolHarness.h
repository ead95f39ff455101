#pragma once

#include "config/ConfigCommands.h"
#include "config/ConfigValues.h"
#include "connection/ConnectToggle.h"
#include "connection/StatusChain.h"
#include "exchange/DataFile.h"
#include "link/Link.h"
#include "sim/DeviceModel.h"
#include "tests/support/FakeControls.h"
#include "tests/support/FakeLinkView.h"
#include "tests/support/MemorySettingsStore.h"
#include "tests/support/ScriptedFileDialogs.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/SimulatedPort.h"
#include "tests/support/TestEventLoop.h"
#include "tests/support/VirtualClock.h"
#include "tests/support/VirtualFrames.h"

#include <functional>

// The whole tool without its window: every handler on fake controls, a simulated handheld
// behind a simulated port, and virtual time. Handlers run as the window runs them: through the
// gate, with received data handled from the event loop between them, and the log's frames
// paced as the window paces them.
class ToolHarness {
public:
    explicit ToolHarness(const DeviceModel::Options& options = {});

    // Runs an operator action (a click's handler), then whatever the event loop has waiting, for
    // at most kActMs of the handlers' pauses.
    void act(const std::function<void()>& handler);
    static constexpr qint64 kActMs = 10000;
    // The operator clicks the connect toggle.
    void clickConnect();
    // Chooses COM1, connects, and lets the status chain run to its end.
    void connect();
    // Lets time pass with the window idle.
    void idle(qint64 ms) { loop.runFor(ms); }
    // Runs the handler on every tick of the window's 500 ms timer, as a timer event between
    // other handlers.
    void onTimer(std::function<void()> handler);

    VirtualClock clock;
    DeviceModel device;
    SimulatedPort port;
    FakeControls controls;
    FakeLinkView view;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    MemorySettingsStore settings;
    TestEventLoop loop{clock};
    VirtualFrames frames{clock};
    Link link;
    DataFile dataFile;
    ConfigValues values{controls};
    StatusChain chain{link, controls};
    ConnectToggle toggle{link, controls, dataFile};
    ConfigCommands config{link, controls, clock};
    Outcome toggled = Outcome::Done; // what the toggle's handler gave last

private:
    void scheduleTick(qint64 at);
    QList<std::function<void()>> m_timerHandlers;
};
