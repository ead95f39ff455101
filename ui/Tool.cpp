#include "ui/Tool.h"

#include "ui/PortBox.h"
#include "ui/ProgressStrip.h"
#include "ui/TrafficLog.h"

#include <QTimer>

Tool::Tool(MessageBoxes* boxes, FileDialogs* dialogs, Sleeper* sleeper)
    : m_portMap(m_settings), m_port(m_portMap), m_qtBoxes(&m_window), m_qtDialogs(&m_window),
      m_boxes(boxes ? *boxes : m_qtBoxes, m_window.pacer()),
      m_dialogs(dialogs ? *dialogs : m_qtDialogs, m_window.pacer()),
      m_sleeper(sleeper ? *sleeper : m_clock, m_window.pacer()), m_controls(m_window),
      m_handlers({m_port, m_window.log(), m_boxes, m_sleeper, m_clock, m_controls, m_settings,
                  m_dialogs, m_window.progress(), [this](std::function<void()> call) {
                      QTimer::singleShot(0, this, std::move(call));
                  }}) {
    FramePacer& pacer = m_window.pacer();
    m_handlers.link.setFramePending([&pacer] { return pacer.framePending(); });
    pacer.setBeforeFrame([this] { m_handlers.link.takeInputForFrame(); });
    pacer.setStreaming([this] { return m_handlers.link.inputHeld(); });
    m_port.setBeforeBlocking([&pacer] { pacer.showNow(); });
    wire();
}

Tool::~Tool() = default;

void Tool::prepareApplication() {
    qputenv("QT_XCB_NO_MITSHM", "1");
}

void Tool::start() {
    m_handlers.lifecycle.load();
    m_handlers.configCommands.showPcTime();
    m_timer1.start(500);
    m_window.setPortToolTips(m_portMap);
    m_window.show();
}

void Tool::wire() {
    connect(&m_window, &Form1::closing, this,
            [this] { m_handlers.link.gate().run([this] { m_handlers.lifecycle.unload(); }); });
    connect(&m_window.port(), &PortBox::popupAboutToShow, this,
            [this] { m_window.setPortToolTips(m_portMap); });
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    connect(&m_timer1, &QTimer::timeout, this, [this] { m_handlers.timerTick(); });
}
