#pragma once

#include "app/Lifecycle.h"
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

#include <functional>

class Clock;
class Controls;
class FileDialogs;
class LinkView;
class MessageBoxes;
class SerialPort;
class SettingsStore;
class Sleeper;
class TransferProgress;

// Every handler of the tool, built on the platform it is given and wired to the controls: the
// window, the command line and the tests all run this one set. Each handler runs through the
// link's gate, so none interrupts another; a button that sends to the handheld is refused while
// records transfer. What only a window has (closing it, a port list that opens) and the 500 ms
// timer are wired by the host.
class HandlerSet {
public:
    struct Platform {
        SerialPort& port;
        LinkView& view;
        MessageBoxes& boxes;
        Sleeper& sleeper;
        const Clock& clock;
        Controls& controls;
        SettingsStore& settings;
        FileDialogs& dialogs;
        TransferProgress& progress;
        HandlerGate::Post post;
    };

    explicit HandlerSet(const Platform& platform);
    HandlerSet(const HandlerSet&) = delete;
    HandlerSet& operator=(const HandlerSet&) = delete;

    // The window's 500 ms timer, delivered through the gate as every notification is: keeps the
    // shown time and ends a record download that stopped short.
    void timerTick();
    // What the connect toggle's handler gave last.
    Outcome toggled() const { return m_toggled; }
    // What the handler of the latest button that ran gave; a button refused while records
    // transfer runs none.
    Outcome pressed() const { return m_pressed; }
    // Runs when the port is lost, before the operator is told.
    void setLossObserver(std::function<void()> observer) { m_lossObserver = std::move(observer); }

    Link link;
    DataFile dataFile;
    ConfigValues config;
    Lifecycle lifecycle;
    StatusChain statusChain;
    ConnectToggle connectToggle;
    ConfigCommands configCommands;
    IdentificationReads identification;
    BlockAccess blocks;
    Peripherals peripherals;
    RecordDownload download;
    SelectionUpload upload;
    MemoryCommands memory;
    FilePathChoice paths;

private:
    void wire(Controls& controls);
    void run(const std::function<void()>& handler) { link.gate().run(handler); }
    // A button that sends to the handheld: its handler is not run while records transfer.
    void onSend(Controls& controls, Control button, std::function<Outcome()> handler);

    Outcome m_toggled = Outcome::Done;
    Outcome m_pressed = Outcome::Done;
    std::function<void()> m_lossObserver;
};
