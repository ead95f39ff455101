#pragma once

#include "config/ConfigCommands.h"
#include "config/ConfigValues.h"
#include "connection/ConnectToggle.h"
#include "connection/StatusChain.h"
#include "exchange/DataFile.h"
#include "exchange/FilePathChoice.h"
#include "exchange/MemoryCommands.h"
#include "exchange/RecordDownload.h"
#include "exchange/SelectionUpload.h"
#include "link/Link.h"
#include "online/BlockAccess.h"
#include "online/IdentificationReads.h"
#include "online/Peripherals.h"
#include "platform/IniSettingsStore.h"
#include "platform/PortMap.h"
#include "platform/QtFileDialogs.h"
#include "platform/QtMessageBoxes.h"
#include "platform/SystemClock.h"
#include "platform/TtySerialPort.h"
#include "platform/WidgetControls.h"
#include "ui/Form1.h"
#include "ui/Lifecycle.h"
#include "ui/ShowingFileDialogs.h"
#include "ui/ShowingMessageBoxes.h"
#include "ui/ShowingSleeper.h"

#include <QObject>
#include <QTimer>

// The composition root: the real platform adapters, the device link, the data file and the
// window, and the wiring of the window's events to the handlers. Every handler runs through the
// link's gate, so none interrupts another. The pauses, message boxes, file dialogs and polled
// waits of the port the handlers get first bring the window's pending changes onto the screen:
// the traffic log and `Zeile` are painted once per frame while text streams in, and the
// operator is to see them up to date whenever a handler blocks. Records that stream in are taken
// in by those frames (see Link::takeInputForFrame).
class Tool final : public QObject {
    Q_OBJECT

public:
    // Message boxes and file dialogs are Qt's unless others are given (a test answers them); the
    // handlers' blocking pauses are the system clock's unless another sleeper is given (a
    // benchmark counts them).
    explicit Tool(MessageBoxes* boxes = nullptr, FileDialogs* dialogs = nullptr,
                  Sleeper* sleeper = nullptr);
    ~Tool() override;

    // Window load, then shows the window. Window unload runs when the operator closes it.
    void start();

    // Settings of the window system for the tool, made before the application object exists.
    // On X11 the window is painted without shared memory: the log paints a few small parts many
    // times a second, and a paint through shared memory first waits for the X server to reply,
    // which costs more than sending those few pixels.
    static void prepareApplication();

    Form1& window() { return m_window; }
    Controls& controls() { return m_controls; }
    Link& link() { return m_link; }
    DataFile& dataFile() { return m_dataFile; }
    SettingsStore& settings() { return m_settings; }

private:
    void wire();
    void runHandler(const std::function<void()>& handler);
    // Runs the handler when the named button is clicked.
    void onClick(const char* button, std::function<void()> handler);
    // The same for a button that sends to the handheld: refused while records are transferring.
    void onSend(const char* button, std::function<void()> handler);

    IniSettingsStore m_settings;
    PortMap m_portMap;
    TtySerialPort m_port;
    SystemClock m_clock;
    Form1 m_window;
    QtMessageBoxes m_qtBoxes;
    QtFileDialogs m_qtDialogs;
    ShowingMessageBoxes m_boxes;
    ShowingFileDialogs m_dialogs;
    ShowingSleeper m_sleeper;
    WidgetControls m_controls;
    Link m_link;
    DataFile m_dataFile;
    ConfigValues m_config;
    Lifecycle m_lifecycle;
    StatusChain m_statusChain;
    ConnectToggle m_connectToggle;
    ConfigCommands m_configCommands;
    IdentificationReads m_identification;
    BlockAccess m_blocks;
    Peripherals m_peripherals;
    RecordDownload m_download;
    SelectionUpload m_upload;
    MemoryCommands m_memory;
    FilePathChoice m_paths;
    QTimer m_timer1;
};
