#pragma once

#include "platform/QtSingleShotTimer.h"
#include "platform/SystemClock.h"
#include "ui/FramePacer.h"

#include <QWidget>

class ConfigPage;
class ControlPage;
class ExchangePage;
class OnlinePage;
class PortBox;
class PortMap;
class QAbstractButton;
class QPushButton;
class QTabWidget;
class TopStrip;
class ProgressStrip;
class TrafficLog;

// The tool's one window: the top strip, the tab strip `Tabulator` with the four frames
// `FrameOnline`, `FrameControls`, `FrameConfig` and `FrameUebertragen` (disabled until a
// connect), and the traffic log `Ausgabe` below. The window owns the one FramePacer that paints
// it: the log, `Zeile` and the progress strip show their changes at its frames.
//
// It builds the controls and nothing more: every named control carries its name as object
// name and as accessible description, and its caption and design-time value. Clicking a tab
// brings its frame to the front, also while the frames are disabled. The lists are empty here;
// window load fills them.
class Form1 final : public QWidget {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);

    static QString caption() { return QStringLiteral("Quorvelino Tool V1.04 Pelmarsh"); }

    FramePacer& pacer() { return m_pacer; }
    TrafficLog& log() const { return *m_log; }
    ProgressStrip& progress() const { return *m_progress; }
    PortBox& port() const;
    QPushButton& connectButton() const;
    QTabWidget& tabs() const { return *m_tabs; }
    QAbstractButton& checkOfftime() const;
    // A named button or check box, for wiring its signals; the name must exist.
    QAbstractButton& button(const char* name) const;

    // Gives every item COMn of `Port` a tool tip naming the device that COMn stands for and
    // whether that device is present now. The item texts stay as they are.
    void setPortToolTips(const PortMap& map);

signals:
    // The operator closes the window; the close cannot be refused.
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void setFocusOrder();
    void describeNamedControls();

    SystemClock m_clock;
    QtSingleShotTimer m_frameTimer;
    FramePacer m_pacer;
    TopStrip* m_top;
    QTabWidget* m_tabs;
    OnlinePage* m_online;
    ControlPage* m_control;
    ConfigPage* m_config;
    ExchangePage* m_exchange;
    TrafficLog* m_log;
    ProgressStrip* m_progress;
    bool m_closed = false;
};
