#pragma once

#include "app/HandlerSet.h"
#include "exchange/TransferProgress.h"
#include "sim/DeviceModel.h"
#include "tests/support/FakeControls.h"
#include "tests/support/FakeLinkView.h"
#include "tests/support/MemorySettingsStore.h"
#include "tests/support/ScriptedFileDialogs.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/SimulatedPort.h"
#include "tests/support/TestEventLoop.h"
#include "tests/support/VirtualClock.h"
#include "tests/support/VirtualTimer.h"
#include "ui/FramePacer.h"

#include <functional>

// The progress bar as the handlers drive it.
class RecordingProgress final : public TransferProgress {
public:
    void show(const QString&, qint64 shownDone, qint64 shownTotal) override {
        done = shownDone;
        total = shownTotal;
        visible = true;
    }
    void hide() override { visible = false; }

    qint64 done = 0;
    qint64 total = 0;
    bool visible = false;
};

// The whole tool without its window: the tool's handler set, wired as the window wires it, on
// fake controls, a simulated handheld behind a simulated port, and virtual time. Handlers run as
// the window runs them: through the gate, with received data handled from the event loop between
// them, and the log's frames paced by the window's pacer in virtual time, with nothing to paint.
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
    // Runs the window's 500 ms timer from now on, as a timer event between other handlers.
    void startTimer();

    VirtualClock clock;
    VirtualTimer frameTimer{clock};
    FramePacer pacer{frameTimer, clock, [] {}};
    DeviceModel device;
    SimulatedPort port;
    FakeControls controls;
    FakeLinkView view;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    MemorySettingsStore settings;
    RecordingProgress progress;
    TestEventLoop loop{clock};
    HandlerSet set;
    Link& link = set.link;
    DataFile& dataFile = set.dataFile;
    ConfigValues& values = set.config;
    StatusChain& chain = set.statusChain;
    ConnectToggle& toggle = set.connectToggle;
    ConfigCommands& config = set.configCommands;

private:
    void scheduleTick(qint64 at);
};
