#include "tests/support/ToolHarness.h"

ToolHarness::ToolHarness(const DeviceModel::Options& options)
    : device(options),
      port(clock, [this](const QByteArray& bytes) { return device.receive(bytes); }),
      set({port, view, boxes, clock, clock, controls, settings, dialogs, progress,
           [this](std::function<void()> call) { loop.post(call); }}) {
    QStringList ports;
    for (int n = 1; n <= 16; ++n)
        ports << QStringLiteral("COM%1").arg(n);
    controls.addItems(Control::Port, ports);
    values.fillLists();
    controls.addItems(Control::DisplayZeile,
                      {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                       QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"),
                       QStringLiteral("7"), QStringLiteral("8")});
    controls.setText(Control::DisplayZeile, QStringLiteral("1"));
    view.paceWith(pacer);
    link.setFramePending([this] { return pacer.framePending(); });
    pacer.setBeforeFrame([this] { link.takeInputForFrame(); });
    pacer.setStreaming([this] { return link.inputHeld(); });
}

void ToolHarness::act(const std::function<void()>& handler) {
    link.gate().run(handler);
    loop.runPosted(clock.now() + kActMs);
}

void ToolHarness::clickConnect() {
    controls.click(Control::Connect);
    loop.runPosted(clock.now() + kActMs);
}

void ToolHarness::connect() {
    controls.pick(Control::Port, 0);
    clickConnect();
    idle(5000);
}

void ToolHarness::startTimer() {
    scheduleTick(clock.now() + 500);
}

void ToolHarness::scheduleTick(qint64 at) {
    clock.schedule(at, [this, at] {
        set.timerTick();
        scheduleTick(at + 500);
    });
}
