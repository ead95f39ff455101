#pragma once

// The window's contract, control by control: the real tool with its real widgets, serial adapter
// and event loop, on a pseudo-terminal whose other side a scripted handheld answers in a thread
// of its own, noting every command line and when its CR arrived. One row per control that acts:
// where it stands, what the operator sets first, the bytes on the wire with the pauses between
// them, what becomes of the traffic log and the reply mode, what the window shows afterwards and
// which message box it raises.

#include "link/ReplyMode.h"
#include "platform/MessageBoxes.h"
#include "sim/DeviceModel.h"
#include "tests/support/ScriptedFileDialogs.h"
#include "tests/support/ScriptedHandheld.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/ToolSettingsHome.h"
#include "ui/Tool.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <optional>

class ContractSession;

// One line on the wire: the command with its CR, and the pause the tool keeps before it (after
// the previous line, or after the click for the first).
struct Sent {
    QByteArray bytes;
    int pauseMs = 0;
};

struct Box {
    QString text;
    QString title;
    MessageBoxes::Icon icon;
    MessageBoxes::Buttons buttons;
};

struct Dialog {
    bool save;
    QString title;
};

// What the window shows afterwards: a control's text, or one of the pseudo-names below.
struct Shown {
    const char* control;
    QByteArray text;
};
// The traffic log, byte for byte; kAnswer stands for exactly what the handheld answered to the
// row's commands, and a text ending in '*' for its start.
inline constexpr const char* kLog = "Ausgabe";
inline const QByteArray kAnswer = "<the handheld's answer>";
// The battery bar's value; whether the four frames are enabled; the record file's bytes.
inline constexpr const char* kBattery = "akku";
inline constexpr const char* kFrames = "frames";
inline constexpr const char* kRecordFile = "record file";
// What the log holds before each click.
inline const QByteArray kLogBefore = "(the log before the click)\r\n";

// One acting control. `page` is the tab the control stands on ("" for the top strip).
struct Row {
    const char* page;
    const char* name;
    QString caption;
    std::function<void(ContractSession&)> operatorSets;
    ReplyMode before;
    QList<Sent> wire;
    bool logEmptied;
    ReplyMode after;
    QList<Shown> shows;
    std::optional<Box> box;
    std::optional<Dialog> dialog = std::nullopt;
};

// The handheld, whose line starts with settings the tool must change, and the tool on it, made
// and started with scripted message boxes and file dialogs.
class ContractSession {
public:
    explicit ContractSession(const DeviceModel::Options& options);
    ~ContractSession();
    ContractSession(const ContractSession&) = delete;
    ContractSession& operator=(const ContractSession&) = delete;

    Controls& controls() { return tool->controls(); }
    QString file(const char* name) const { return files.filePath(QString::fromLatin1(name)); }
    // What the window shows of a control or a pseudo-name.
    QByteArray shown(const char* control);

    // Clicks the row's control and checks every column.
    void check(const Row& row);

    ScriptedHandheld handheld;
    ToolSettingsHome home;
    QTemporaryDir files;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    std::optional<Tool> tool;

private:
    // Where the click started: the counts before it, and when it came.
    struct Before {
        qsizetype lines;
        qsizetype boxes;
        qsizetype dialogs;
        qint64 clickedAtMs;
    };

    Before click(const Row& row);
    // Runs the window until the row's effects are there, then a little longer for more.
    void waitForEffects(const Row& row, const Before& before);
    QByteArray answered(const Before& before) const;
    void checkWire(const Row& row, const Before& before);
    void checkWindow(const Row& row, const Before& before);
    void checkBoxesAndDialogs(const Row& row, const Before& before);
};

// The status chain that follows the handheld's answer to the greeting.
QList<Sent> statusChain();
void set(ContractSession& s, const char* control, const QString& text);
void pick(ContractSession& s, const char* list, int index);
