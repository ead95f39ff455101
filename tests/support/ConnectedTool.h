#pragma once

#include "tests/support/WaitUntil.h"
#include "ui/Form1.h"
#include "ui/Tool.h"

#include <QAbstractButton>
#include <QPushButton>

// The status chain after a connect has ended: the handheld's serial number shows and the tool
// waits for no reply.
inline bool statusChainDone(Tool& tool) {
    return tool.link().replyMode() == ReplyMode::Idle &&
           tool.controls().text(Control::SNR) == QStringLiteral("AE012345");
}

// Clicks Connect and runs the window until the status chain has ended; false when it has not
// within `timeoutMs`.
inline bool connectAndWaitForChain(Tool& tool, int timeoutMs) {
    tool.window().connectButton().click();
    return waitUntil([&] { return statusChainDone(tool); }, timeoutMs);
}
