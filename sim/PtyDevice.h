#pragma once

#include "sim/PtyPair.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

class DeviceModel;
class QSocketNotifier;

// The device model on the master side of a pseudo-terminal; the tool opens the slave.
//
// The device keeps a slave descriptor of its own open for its whole life, so the master never
// sees a hang-up while no tool is attached and a tool may close and reopen the slave any number
// of times. Like a real line, bytes the device sends while no tool has the port open are lost:
// when the tool closes the slave, what it has not read yet and what is still queued here is
// dropped, so a reconnect never reads a stale answer (the "Ok" to "DISCONNECT", for example).
//
// Everything runs on the thread of the event loop; the master is non-blocking and a write that
// the kernel cannot take in full is finished when the master becomes writable again.
class PtyDevice final : public QObject {
    Q_OBJECT

public:
    struct Options {
        int latencyMs = 0;       // pause between a command's CR and the start of its reply
        bool wire = false;       // pace replies at 38400 baud 8N1, in pieces of kWirePiece bytes
        bool split = false;      // write each reply line in two writes a few ms apart
        bool splitEvery = false; // write every reply byte by byte, about 1 ms apart
        bool silent = false;     // read everything, answer nothing
        bool garbage = false;    // follow every answer with a line of random bytes
        qint64 flood = -1;       // answer "READID" with this many bytes without a line end
        qint64 unplugAfter = -1; // vanish after this many bytes written to the tool; <0 = never
        // The rudeness of real hardware:
        int trickleMs = -1;      // every reply in random pieces of 1 to 8 bytes, 0..trickleMs ms
                                 // apart; <0 = off
        bool echo = false;       // repeat each answered command as a line before its reply
        QByteArray lateLine;     // a line (without CR LF) sent before every reply, as a late
                                 // answer to something earlier would come; neither this nor
                                 // the echo comes before the records, which follow "GET" at once
        bool interleave = false; // answers to commands sent during a record transfer go out
                                 // between two records, not behind the last one
        int pauseEvery = 0;      // after every pauseEvery records ...
        int pauseMs = 0;         // ... the records pause this long, then resume
        quint32 seed = 1;        // for the random pieces and gaps
        // Command lines (without CR) carried out but never answered; "CLOCK" stands for every
        // line that begins with it and a blank too.
        QList<QByteArray> ignored;
        // Command lines carried out but answered "Error", as a handheld that failed at them.
        QList<QByteArray> failed;
    };

    // The bytes of a flood: every byte value in turn, so NUL, 8-bit bytes and lone CRs and LFs
    // are among them, but never a CR directly followed by an LF.
    static QByteArray floodBytes(qint64 count);

    // 10 bits per byte at 38400 baud.
    static constexpr qint64 kWireByteNs = 1'000'000'000LL * 10 / 38400;
    static constexpr int kWirePiece = 32;

    // The model must outlive the device.
    PtyDevice(DeviceModel& model, const Options& options, QObject* parent = nullptr);
    ~PtyDevice() override;
    PtyDevice(const PtyDevice&) = delete;
    PtyDevice& operator=(const PtyDevice&) = delete;

    // Creates the pseudo-terminal; false with errorString() set when that fails.
    bool open();
    bool isOpen() const { return m_pty.isOpen(); }
    // The slave device the tool opens, such as "/dev/pts/5"; empty before open().
    QString slavePath() const { return m_pty.slavePath(); }
    QString errorString() const { return m_error; }
    // Bytes handed to the tool so far.
    qint64 bytesWritten() const { return m_written; }

    // Carries out the commands that wait unread, as before an exit: the tool's last line
    // ("DISCONNECT") is then carried out and logged, whether it or the signal to stop came first.
    void readWaiting() {
        if (isOpen())
            onReadable();
    }
    // Closes the master and the device's own slave: the tool sees the device vanish, as when a
    // USB adapter is pulled. Emits unplugged().
    void unplug();

signals:
    void unplugged();

private:
    // One piece of output. It is written no earlier than dueNs, and no earlier than gapNs after
    // the previous piece was finished.
    struct Segment {
        QByteArray bytes;
        qsizetype offset = 0;
        qint64 dueNs = 0;
        qint64 gapNs = 0;
        bool endsLine = true; // the last piece of a line: another answer may follow it
        bool record = false;  // part of the answer to "GET"
    };

    void onReadable();
    // What the device sends for each command completed by `input`, with the faults the options
    // ask for: the command (without its CR) and the bytes to send.
    // The line is one of the commands, or begins with one and a blank.
    static bool listed(const QList<QByteArray>& commands, const QByteArray& line);
    QList<std::pair<QByteArray, QByteArray>> answer(const QByteArray& input);
    QByteArray garbageLine();
    void queueReply(const QByteArray& command, const QByteArray& reply);
    // The reply cut into the pieces the options ask for.
    QList<Segment> segments(const QByteArray& reply, qint64 dueNs, bool records);
    quint32 random();
    void pump();
    void scheduleAt(qint64 dueNs);
    void dropPendingOutput();
    // Stops answering and unplugs once the tool has read what was sent.
    void unplugWhenRead();
    void checkUnplug();
    void closeAll();

    DeviceModel& m_model;
    Options m_options;
    PtyPair m_pty;
    QString m_error;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
    QTimer m_timer;
    QElapsedTimer m_clock;
    QTimer m_unplugTimer;
    QElapsedTimer m_unplugClock;
    QList<Segment> m_queue;
    qint64 m_lastFinishedNs = 0;
    qint64 m_wireNextNs = 0;
    qint64 m_written = 0;
    int m_splits = 0;
    quint32 m_garbageState = 0x51EC0DE5; // the same garbage on every run
    quint32 m_randomState = 1;
};
