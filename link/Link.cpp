#include "link/Link.h"

#include "link/LinkView.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialPort.h"

Link::Link(SerialPort& port, LinkView& view, MessageBoxes& boxes, Sleeper& sleeper,
           HandlerGate::Post post, qsizetype maxLineBytes)
    : m_port(port), m_view(view), m_boxes(boxes), m_sleeper(sleeper), m_buffer(maxLineBytes),
      m_dispatcher(m_mode), m_receive(port, view, boxes, m_buffer, m_dispatcher),
      m_gate(std::move(post)) {
    // One waiting receive notification reads all that arrived meanwhile.
    m_port.setReceiveNotification([this] { m_gate.deliver([this] { receive(); }, &m_receive); });
}

void Link::receive() {
    if (!m_receive.run())
        m_gate.deliver([this] { receive(); }, &m_receive);
}

bool Link::sendLine(const QByteArray& text) {
    return write(text + '\r');
}

bool Link::write(const QByteArray& bytes) {
    return m_port.write(bytes);
}

void Link::reportUnsent(const QString& text) {
    if (!m_port.lossPending())
        m_boxes.show(text, QString(), MessageBoxes::Icon::None, MessageBoxes::Buttons::Ok);
}

void Link::clearLog() {
    m_view.clearLog();
}
