#pragma once

#include "link/HandlerResult.h"
#include "link/StatusReply.h"

#include <QByteArray>

// The handlers the dispatcher hands lines to, implemented by the subsystems that own them.

class IdResultHandler {
public:
    virtual ~IdResultHandler() = default;
    virtual HandlerResult handleIdResult(const QByteArray& line) = 0;
};

class RecordLineHandler {
public:
    virtual ~RecordLineHandler() = default;
    virtual HandlerResult handleRecordLine(const QByteArray& line) = 0;
    // Runs when every line of a read has been handled, before the window turns again.
    virtual HandlerResult inputHandled() { return HandlerResult::ok(); }
};

class StatusReplyHandler {
public:
    virtual ~StatusReplyHandler() = default;
    virtual HandlerResult handleStatusReply(StatusReply reply, const QByteArray& line) = 0;
};
