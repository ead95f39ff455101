#include "ui/Tool.h"

#include "ui/PortBox.h"
#include "ui/TrafficLog.h"

#include <QAbstractButton>
#include <QTimer>

Tool::Tool()
    : m_portMap(m_settings), m_port(m_portMap), m_boxes(&m_window), m_dialogs(&m_window),
      m_controls(m_window),
      m_link(m_port, m_window.log(), m_boxes, m_clock,
             [this](std::function<void()> call) { QTimer::singleShot(0, this, std::move(call)); }),
      m_config(m_controls), m_lifecycle(m_controls, m_link, m_dataFile, m_settings, m_config) {
    wire();
}

Tool::~Tool() = default;

void Tool::start() {
    m_lifecycle.load();
    m_window.setPortToolTips(m_portMap);
    m_window.show();
}

void Tool::runHandler(const std::function<void()>& handler) {
    m_link.gate().run(handler);
}

void Tool::wire() {
    connect(&m_window, &Form1::closing, this,
            [this] { runHandler([this] { m_lifecycle.unload(); }); });
    connect(&m_window.port(), &PortBox::popupAboutToShow, this,
            [this] { m_window.setPortToolTips(m_portMap); });

    connect(&m_window.checkOfftime(), &QAbstractButton::clicked, this, [this](bool checked) {
        runHandler([this, checked] { m_config.offtimeClicked(checked); });
    });
}
