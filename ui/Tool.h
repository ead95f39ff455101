#pragma once

#include "app/HandlerSet.h"
#include "app/Lifecycle.h"
#include "platform/PortMap.h"
#include "platform/QtFileDialogs.h"
#include "platform/QtMessageBoxes.h"
#include "platform/SystemAdapters.h"
#include "platform/SystemClock.h"
#include "platform/WidgetControls.h"
#include "ui/Form1.h"
#include "ui/ShowingFileDialogs.h"
#include "ui/ShowingMessageBoxes.h"
#include "ui/ShowingSleeper.h"

#include <QObject>
#include <QTimer>

// The composition root: the real platform adapters, the window, and the handler set on them.
// The pauses, message boxes, file dialogs and polled
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
    HandlerSet& handlers() { return m_handlers; }
    Link& link() { return m_handlers.link; }
    DataFile& dataFile() { return m_handlers.dataFile; }
    SettingsStore& settings() { return m_settings; }

private:
    void wire();

    UserSettingsStore m_settings;
    PortMap m_portMap;
    SystemSerialPort m_port;
    SystemClock m_clock;
    Form1 m_window;
    QtMessageBoxes m_qtBoxes;
    QtFileDialogs m_qtDialogs;
    ShowingMessageBoxes m_boxes;
    ShowingFileDialogs m_dialogs;
    ShowingSleeper m_sleeper;
    WidgetControls m_controls;
    HandlerSet m_handlers;
    QTimer m_timer1;
};
