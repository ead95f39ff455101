#include "link/ReceiveHandler.h"

#include "link/Dispatcher.h"
#include "link/LinkView.h"
#include "link/ReceiveBuffer.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialPort.h"

bool ReceiveHandler::run() {
    const QByteArray input = m_port.readSome(kSliceBytes);
    m_lastRead = input.size();
    // A frame that finds nothing held for it asks for no frame of its own.
    if (!input.isEmpty()) {
        m_buffer.append(input);
        m_view.appendLog(input);
    }
    while (const auto line = m_buffer.takeLine()) {
        if (line->isEmpty())
            continue;
        m_view.setZeile(*line);
        if (!succeeded(m_dispatcher.dispatch(*line)))
            return false;
    }
    return succeeded(m_dispatcher.inputHandled());
}

bool ReceiveHandler::succeeded(const HandlerResult& result) {
    if (!result.failed())
        return true;
    m_boxes.show(result.description(), QString(), MessageBoxes::Icon::None,
                 MessageBoxes::Buttons::Ok);
    return false;
}
