#include "link/Dispatcher.h"

#include "link/Answers.h"
#include "link/ReplyHandlers.h"

HandlerResult Dispatcher::dispatch(const QByteArray& line) {
    if (m_mode == ReplyMode::IdRead && m_id) {
        const HandlerResult result = m_id->handleIdResult(line);
        if (result.failed())
            return result;
    }
    if (m_mode == ReplyMode::RecordDownload && m_record) {
        const HandlerResult result = m_record->handleRecordLine(line);
        if (result.failed())
            return result;
    }
    if (m_mode == ReplyMode::StatusChain && m_status) {
        if (const auto reply = Answers::statusReply(line))
            return m_status->handleStatusReply(*reply, line);
    }
    return HandlerResult::ok();
}

HandlerResult Dispatcher::inputHandled() {
    return m_record ? m_record->inputHandled() : HandlerResult::ok();
}
