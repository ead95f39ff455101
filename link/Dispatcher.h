#pragma once

#include "link/HandlerResult.h"
#include "link/ReplyMode.h"

#include <QByteArray>

class IdResultHandler;
class RecordLineHandler;
class StatusReplyHandler;

// Hands each non-empty reply line to at most one handler, chosen by the reply mode.
//
// The mode is read afresh for each of the three tests. Handlers only ever move the mode from
// IdRead to Idle or IdRead, from RecordDownload to Idle and from StatusChain to Idle, so a line
// that one handler took is never seen by a later test. A handler not attached drops its lines.
class Dispatcher {
public:
    explicit Dispatcher(const ReplyMode& mode) : m_mode(mode) {}

    void attach(IdResultHandler* handler) { m_id = handler; }
    void attach(RecordLineHandler* handler) { m_record = handler; }
    void attach(StatusReplyHandler* handler) { m_status = handler; }

    HandlerResult dispatch(const QByteArray& line);
    // Every line of a read has been handled.
    HandlerResult inputHandled();

private:
    const ReplyMode& m_mode;
    IdResultHandler* m_id = nullptr;
    RecordLineHandler* m_record = nullptr;
    StatusReplyHandler* m_status = nullptr;
};
