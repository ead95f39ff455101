#pragma once

#include "config/ConfigValues.h"
#include "exchange/DataFile.h"
#include "link/Link.h"
#include "platform/IniSettingsStore.h"
#include "platform/PortMap.h"
#include "platform/QtFileDialogs.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtSerialPort.h"
#include "platform/SystemClock.h"
#include "platform/WidgetControls.h"
#include "ui/Form1.h"
#include "ui/Lifecycle.h"

#include <QObject>

// The composition root: the real platform adapters, the device link, the data file and the
// window, and the wiring of the window's events to the handlers. Every handler runs through the
// link's gate, so none interrupts another.
class Tool final : public QObject {
    Q_OBJECT

public:
    Tool();
    ~Tool() override;

    // Window load, then shows the window. Window unload runs when the operator closes it.
    void start();

    Form1& window() { return m_window; }
    Controls& controls() { return m_controls; }
    Link& link() { return m_link; }
    DataFile& dataFile() { return m_dataFile; }
    SettingsStore& settings() { return m_settings; }

private:
    void wire();
    void runHandler(const std::function<void()>& handler);

    IniSettingsStore m_settings;
    PortMap m_portMap;
    QtSerialPort m_port;
    SystemClock m_clock;
    Form1 m_window;
    QtMessageBoxes m_boxes;
    QtFileDialogs m_dialogs;
    WidgetControls m_controls;
    Link m_link;
    DataFile m_dataFile;
    ConfigValues m_config;
    Lifecycle m_lifecycle;
};
