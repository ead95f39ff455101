#pragma once

#include "app/HandlerSet.h"
#include "app/Lifecycle.h"
#include "cli/CommandLine.h"
#include "cli/DownloadTarget.h"
#include "cli/InputWatch.h"
#include "cli/Interruption.h"
#include "cli/NoFileDialogs.h"
#include "cli/PortOverride.h"
#include "cli/PrintedBoxes.h"
#include "cli/Profile.h"
#include "cli/StoppablePort.h"
#include "cli/TerminalProgress.h"
#include "cli/TracingPort.h"
#include "cli/UploadSource.h"
#include "cli/Verdict.h"
#include "platform/MemoryControls.h"
#include "platform/PortMap.h"
#include "platform/SystemAdapters.h"
#include "platform/SystemClock.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

// One run of quorvelino-cli: the window's handlers on the real serial port, with the command
// line's controls, boxes and progress in place of the window's. The run loads what the window
// loads at start, connects as the connect toggle does, waits for the status queries, does its one
// job, and disconnects, also when the job failed or the run is stopped.
//
// Handlers run through the link's gate, as in the window; records and status replies arrive from
// the event loop, which the run turns while it waits. Every wait is bounded: by the handlers' own
// time-outs, by how long the handheld may stay quiet, and by a stop request.
class Session {
public:
    explicit Session(const CommandLine::Request& request);

    // Does the request; returns the exit status. Values go to standard output, messages to
    // standard error.
    int run();
    // The messages printed, for the JSON object of a failure.
    const QStringList& messages() const { return m_boxes.printed(); }

    // How long the handheld may stay quiet while a status reply or the answer to an erase or to
    // the clock is awaited.
    static constexpr int kQuietMs = 5000;
    // How long a handheld still sending at the start (an earlier run was killed in the middle
    // of a download) is waited for without --timeout: longer than a full memory takes at 38400
    // baud.
    static constexpr int kStillSendingMs = 10 * 60 * 1000;

private:
    // Values for standard output; a failed write (a full disk, a closed pipe) fails the run.
    void writeOutput(const QString& text);
    bool choosePort();
    // The file of a download can be written (its working file is made), the file of an upload
    // read (standard input is taken whole); else the run fails here, before the port is opened.
    bool fileUsable();
    // The COM number the device given with --port gets: the window's own number for it when it
    // has one, else the first number nothing stands for.
    int numberFor(const QString& device) const;
    QString subject() const;
    void wire();

    bool connect();
    bool waitForStatusQueries();
    void doJob();
    void download();
    // Once the data file is closed: the records of a complete download take the target's place.
    void saveRecords();
    // A message of the download's as printed: where it says that what arrived is kept though
    // nothing did, it says instead that nothing is kept and the target is as it was.
    void upload();
    void erase();
    void statistics();
    void setTime();
    // config apply: the profile written, the settings read back and compared.
    void applyProfile();
    // Waits for the answer to a command that no handler awaits (Answers says what counts as
    // one): "Ok" is success, "Error" a refusal, none within kQuietMs no answer.
    void awaitAnswer(const char* command);
    void finish();
    void stop();

    // Runs a handler through the link's gate, as the window does; returns what it returns.
    template <typename Handler> auto runHandler(Handler handler) {
        decltype(handler()) result{};
        m_handlers.link.gate().run([&] { result = handler(); });
        return result;
    }
    // Turns the event loop until done() holds or the run is stopped; false when stopped.
    bool waitUntil(const std::function<bool()>& done);
    // Turns the event loop for a moment, so a lost port that a handler met is reported.
    void settle();
    bool stopped() const { return m_interruption.requested(); }
    bool connected() const { return m_controls.isChecked(Control::Connect); }
    // The port was lost: the first failure, unless the run was stopped.
    void noteLoss();
    bool transferCutShort() const;

    const CommandLine::Request m_request;
    Verdict m_verdict;
    bool m_uploadCutShort = false;
    bool m_noRecords = false; // the download found the handheld empty
    DownloadTarget m_target{m_request.file};
    UploadSource m_source{m_request.file};
    QString m_output;
    Profile m_profile;

    QObject m_context; // receives the calls posted for the event loop
    Interruption m_interruption;
    UserSettingsStore m_settings;
    PortOverride m_portSettings{m_settings};
    PortMap m_portMap{m_portSettings};
    SystemSerialPort m_serialPort{m_portMap};
    std::unique_ptr<TracingPort> m_tracing; // with --verbose only
    StoppablePort m_port;
    SystemClock m_clock;
    TerminalProgress m_progress;
    PrintedBoxes m_boxes;
    InputWatch m_watch{m_clock};
    MemoryControls m_controls;
    NoFileDialogs m_dialogs;
    HandlerSet m_handlers;
    QTimer m_timer1;
};
