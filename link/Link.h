#pragma once

#include "link/Dispatcher.h"
#include "link/HandlerGate.h"
#include "link/Outcome.h"
#include "link/ReceiveBuffer.h"
#include "link/ReceiveHandler.h"
#include "link/ReplyMode.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

class Clock;
class LinkView;
class MessageBoxes;
class SerialPort;
class Sleeper;

// The device link as the command handlers use it: the port, the traffic log, the reply mode and
// the dispatcher, the receive handler, and the gate that keeps handlers from interrupting each
// other. One per window; it owns ReplyMode and ReceiveBuffer.
class Link {
public:
    // maxLineBytes bounds the receive buffer (see ReceiveBuffer); other values are for fuzzing.
    Link(SerialPort& port, LinkView& view, MessageBoxes& boxes, Sleeper& sleeper,
         const Clock& clock, HandlerGate::Post post,
         qsizetype maxLineBytes = ReceiveBuffer::kMaxLineBytes);

    SerialPort& port() { return m_port; }
    LinkView& view() { return m_view; }
    MessageBoxes& boxes() { return m_boxes; }
    Sleeper& sleeper() { return m_sleeper; }
    // The monotonic time that polled waits are budgeted in.
    const Clock& clock() const { return m_clock; }
    Dispatcher& dispatcher() { return m_dispatcher; }
    HandlerGate& gate() { return m_gate; }
    const ReceiveBuffer& receiveBuffer() const { return m_buffer; }

    ReplyMode replyMode() const { return m_mode; }
    // When the receive handler last read bytes, on the clock; 0 before it ever did.
    qint64 lastInputMs() const { return m_lastInputMs; }
    void setReplyMode(ReplyMode mode) { m_mode = mode; }

    // Writes a command line: the text and one CR, in a single write. False when it failed: a
    // caller either tells what did not go out or says why it need not.
    // The handheld ends a command at any CR and drops every LF, so a line break inside the text
    // would make a second command of what follows it: the text is cut at its first CR or LF, as
    // a one-line field keeps only its first line.
    [[nodiscard]] bool sendLine(const QByteArray& text);
    // After a failed write of a handler that ends silently: PortLost while the port is lost (its
    // own message tells it), else PortFailure.
    Outcome unsent() const;

    // Empties the traffic log and repaints it, as every command handler does first.
    void clearLog();
    // Forgets the start of a reply line whose end will never come: at a connect, whose session
    // cannot finish a line of the one before, and before a handler reads an answer itself, which
    // consumes what would have finished it. Joined to the next bytes, it would make one corrupt
    // line of two (the first record of a download, the first status reply of a connect).
    void dropIncompleteLine() { m_buffer.dropIncomplete(); }
    // The start of a line that a handler has read itself and whose end will come through the
    // receive handler: the two are joined there, and the line is cut as one.
    void continueLine(const QByteArray& start) { m_buffer.append(start); }

    // The receive handler, as the port's notification runs it. After a failing line the lines
    // still buffered are handled by another run as soon as the current handler has ended, under
    // the reply mode the failure left: waiting for the handheld's next bytes would hand them to
    // whatever command the operator starts next (the rest of a failed download into the file of
    // the following one).
    void receive();

    // Records streaming in are taken in once per frame of the window rather than piece by piece:
    // a piece of the line every 8 ms would otherwise wake the window thread 120 times a second,
    // and waking costs more than handling a record. So while a download receives records and the
    // window has a frame pending (framePending), the port's receive notification is held when a
    // handler ends; the port reads the bytes all the same and keeps them, and the frame takes
    // them in (takeInputForFrame) just before it paints them. Each record is still written when
    // its line is handled, and text is on the screen at most a frame after its bytes arrived.
    // Input that comes faster than frames could take it is not held, and input that came while a
    // handler ran is handled as soon as it ends. Without a frame source nothing is held.
    void setFramePending(std::function<bool()> framePending) {
        m_framePending = std::move(framePending);
    }
    // The window's frame is due: runs the receive handler on the input held for it. Nothing
    // happens while no input is held, or while a handler runs (a frame painted inside a modal
    // box's loop): its end decides again.
    void takeInputForFrame();
    // The receive notification is held: input waits for the window's next frame.
    bool inputHeld() const { return m_inputHeld; }

    // Runs `report` when the port is lost, through the gate like every notification, once what
    // the port received before the loss has been handled: records that arrived are written and
    // counted, and the log shows them, before the operator is told how far things came.
    void setLossReport(std::function<void(const QString& why)> report);

    // What a handler that a lost port cut short wants the operator to know ("The upload was
    // stopped after ..."). The one message about the lost connection says it, so the operator is
    // told once, and completely.
    void noteLoss(const QString& note) { m_lossNotes.append(note); }
    // After a command that could not be written: while the port is lost, the one message about
    // the lost connection tells it; any other failed write (a port not open) shows the text in a
    // box of its own (OK, the application's title). Returns PortLost or PortFailure accordingly.
    Outcome reportUnsent(const QString& text);
    // Shows the text in a box of its own (OK, the application's title) and returns the outcome.
    Outcome showFailure(const QString& text, Outcome outcome);
    QStringList takeLossNotes() { return std::exchange(m_lossNotes, {}); }

    // Text typed by the operator as the handheld reads it: one byte per character, and one "?"
    // for each character outside Latin-1 (an emoji included, although it takes two UTF-16 units).
    static QByteArray toWire(const QString& text);

private:
    // Each time the outermost handler has returned: holds the receive for the next frame, or
    // raises the notification for input that waits.
    void afterHandler();

    SerialPort& m_port;
    LinkView& m_view;
    MessageBoxes& m_boxes;
    Sleeper& m_sleeper;
    const Clock& m_clock;
    ReplyMode m_mode = ReplyMode::Idle;
    ReceiveBuffer m_buffer;
    Dispatcher m_dispatcher;
    ReceiveHandler m_receive;
    HandlerGate m_gate;
    QStringList m_lossNotes;
    std::function<bool()> m_framePending;
    bool m_inputHeld = false;
    qint64 m_lastInputMs = 0;
};
