#include "link/Link.h"

#include "link/LinkView.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialPort.h"

#include <algorithm>

namespace {

// More than the serial line brings in two frames of the window while records stream in, 200 ms
// each: 38400 baud carry 3840 bytes a second. A frame that comes late still finds less.
constexpr qsizetype kTrickleBytes = 2048;

} // namespace

Link::Link(SerialPort& port, LinkView& view, MessageBoxes& boxes, Sleeper& sleeper,
           const Clock& clock, HandlerGate::Post post, qsizetype maxLineBytes)
    : m_port(port), m_view(view), m_boxes(boxes), m_sleeper(sleeper), m_clock(clock),
      m_buffer(maxLineBytes), m_dispatcher(m_mode),
      m_receive(port, view, boxes, m_buffer, m_dispatcher), m_gate(std::move(post)) {
    // One waiting receive notification reads all that arrived meanwhile.
    m_port.setReceiveNotification([this] { m_gate.deliver([this] { receive(); }, &m_receive); });
    // Input the port took in while a handler ran (in a modal box, say) is handled once it ends,
    // not left waiting for the handheld's next bytes, which might never come or would then be
    // taken for the answer to the operator's next command.
    m_gate.setAfterHandler([this] { afterHandler(); });
}

void Link::setLossReport(std::function<void(const QString& why)> report) {
    m_port.setLostNotification([this, report = std::move(report)](const QString& why) {
        m_gate.deliver([this, report, why] {
            do
                receive();
            while (m_port.waitForInput(0));
            report(why);
        });
    });
}

void Link::receive() {
    const bool ran = m_receive.run();
    if (m_receive.lastRead() > 0)
        m_lastInputMs = m_clock.monotonicMs();
    if (!ran)
        m_gate.deliver([this] { receive(); }, &m_receive);
}

void Link::afterHandler() {
    // Input that came in a larger read than the line brings in two frames, or that is waiting
    // again already, comes faster than frames could take it (a device quicker than the serial
    // line, or a backlog): it is handled piece by piece, at full speed.
    m_inputHeld = m_mode == ReplyMode::RecordDownload && m_port.isOpen() && m_framePending &&
                  m_framePending() && m_receive.lastRead() <= kTrickleBytes &&
                  !m_port.waitForInput(0);
    m_port.holdReceive(m_inputHeld);
}

void Link::takeInputForFrame() {
    if (m_inputHeld && !m_gate.busy())
        m_gate.run([this] { receive(); });
}

bool Link::sendLine(const QByteArray& text) {
    qsizetype end = text.size();
    for (const char lineBreak : {'\r', '\n'}) {
        const qsizetype at = text.indexOf(lineBreak);
        if (at >= 0)
            end = std::min(end, at);
    }
    return m_port.write(text.first(end) + '\r');
}

QByteArray Link::toWire(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const char32_t character : text.toUcs4())
        bytes += character <= 0xFF ? static_cast<char>(character) : '?';
    return bytes;
}

Outcome Link::unsent() const {
    return m_port.lossPending() ? Outcome::PortLost : Outcome::PortFailure;
}

Outcome Link::reportUnsent(const QString& text) {
    if (m_port.lossPending())
        return Outcome::PortLost;
    return showFailure(text, Outcome::PortFailure);
}

Outcome Link::showFailure(const QString& text, Outcome outcome) {
    m_boxes.show(text, QString(), MessageBoxes::Icon::None, MessageBoxes::Buttons::Ok);
    return outcome;
}

void Link::clearLog() {
    m_view.clearLog();
}
