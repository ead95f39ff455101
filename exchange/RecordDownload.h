#pragma once

#include "link/Outcome.h"
#include "link/ReplyHandlers.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

class Clock;
class Controls;
class DataFile;
class Link;
class TransferProgress;

// "Read out records" (`LeseErfassungen`): copies every record the handheld holds into the record
// file named in `PfadSpeichern`.
//
// start() asks the handheld how many records it holds ("STA"), reading the answer itself for up
// to 1.05 s, then requests them ("GET") and returns at once. The records then arrive one line
// at a time through the receive handler, which hands each to handleRecordLine() while the reply
// mode is RecordDownload; each is converted and counted, the records of a read are written to the
// file together once they are handled, and the transfer
// ends by itself after the announced number of lines.
//
// A transfer that stops short is ended by checkStall(), which the window's 500 ms timer runs: 10 s
// after the last byte received (30 s after "GET" while no record has come) it sets the reply mode
// back to Idle, closes the file with every line received so far, and tells the operator how many
// records arrived. A transfer
// that the operator's disconnect ended is tidied up there without a word.
//
// The record file holds record lines only: while a transfer runs, every command that would send
// to the handheld is refused (refuseWhileTransferring()), since the handheld's answer to it would
// arrive among the records and be written, and counted, as one.
class RecordDownload final : public RecordLineHandler {
public:
    RecordDownload(Link& link, Controls& controls, DataFile& dataFile, const Clock& clock,
                   TransferProgress& progress)
        : m_link(link), m_controls(controls), m_dataFile(dataFile), m_clock(clock),
          m_progress(progress) {}

    // The click handler of `LeseErfassungen`. Blocks up to about 1 s. Done means the records were
    // requested: how the transfer ends, transferOutcome() tells once it is no longer running.
    Outcome start();
    // Run before every handler that sends to the handheld, except disconnect: while a transfer
    // runs, tells the operator so in a titled box and returns true; the handler is then not run.
    bool refuseWhileTransferring();
    // Runs every 500 ms from the window's timer.
    void checkStall();
    // The port was lost: ends a running transfer and returns what the operator needs to know
    // about it (how many records arrived, and where they are kept); empty when none was running.
    QString abandon();

    HandlerResult handleRecordLine(const QByteArray& line) override;
    // The records of one read are written to the file together, once all of them are handled:
    // one write for a frame's records instead of one for each. They are on the disk before the
    // window turns, before the transfer is called finished, and before any message.
    HandlerResult inputHandled() override;

    // A transfer is running: records are expected and routed here.
    bool transferring() const;
    // How the latest transfer ended: Done with every record, CutShort when the handheld stopped
    // sending or something else ended it, FileError when a record could not be written, PortLost.
    Outcome transferOutcome() const { return m_transferOutcome; }
    qint64 announced() const { return m_announced; }
    qint64 received() const { return m_received; }

    // How long the handheld has to answer "STA" (1.05 s), how long a transfer may
    // go without a byte once records have come, and how long the handheld may take before its
    // first record (some gather them first).
    static constexpr qint64 kCountWaitMs = 1050;
    static constexpr qint64 kStallMs = 10000;
    static constexpr qint64 kFirstRecordMs = 30000;

    // The sentence that says what a transfer cut short leaves behind, given the record file and
    // the records received. The window keeps the file, whatever it holds; the command line says
    // its own words, as it keeps a file only when records arrived.
    using KeptText = std::function<QString(const QString& path, qint64 received)>;
    void setKeptText(KeptText keptText) { m_keptText = std::move(keptText); }
    // The window's sentence: the file keeps what arrived.
    static QString keptInFile(const QString& path);

private:
    // The steps of start(): the record file opened, the count asked for and read (Done with
    // *count at least 1), the records requested.
    Outcome openRecordFile(const QString& path);
    Outcome askCount(qint64* count);
    Outcome requestRecords(const QString& path, qint64 count);
    // Writes the records handled since the last write; on failure ends the transfer with the
    // records the file kept, and says which record it could not take.
    HandlerResult writeRecords();
    // Ends the running transfer: reply mode Idle, file closed (what it holds is kept), progress
    // hidden. Records still arriving are then only logged.
    void endTransfer(Outcome outcome);
    // The transfer lost its record file to someone else while the mode still routes records here.
    bool fileTakenAway() const;
    // The handheld has sent nothing for longer than the transfer may wait.
    qint64 stallLimitMs() const;
    bool silentTooLong() const;
    // Tells the operator that the transfer ended before its last record.
    void warnEndedEarly(const QString& why);
    QString keptText() const;

    Link& m_link;
    Controls& m_controls;
    DataFile& m_dataFile;
    const Clock& m_clock;
    TransferProgress& m_progress;

    bool m_transferring = false;
    Outcome m_transferOutcome = Outcome::Done;
    qint64 m_announced = 0; // the record counter: records the handheld announced
    qint64 m_received = 0;  // record lines handled, in the file once their read is handled
    qint64 m_lastLineMs = 0;
    QString m_path;
    KeptText m_keptText;
};
