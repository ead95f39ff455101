#pragma once

#include <QtGlobal>

class HandlerResult;

class Dispatcher;
class LinkView;
class MessageBoxes;
class ReceiveBuffer;
class SerialPort;

// Runs once per receive notification: reads what has arrived (a slice of it when a quick device
// has sent a backlog), shows it in the traffic log, cuts complete lines and hands each non-empty
// one to the dispatcher, in arrival order, each completely (pauses and follow-up commands
// included) before the next is cut.
//
// A failing line handler shows its description in a message box and ends the run: that line
// is lost, and complete lines still buffered wait for the next run. Once every line is handled,
// the handlers finish what they gathered from them (the records are written), and a failure there
// is shown the same way.
class ReceiveHandler {
public:
    ReceiveHandler(SerialPort& port, LinkView& view, MessageBoxes& boxes, ReceiveBuffer& buffer,
                   Dispatcher& dispatcher)
        : m_port(port), m_view(view), m_boxes(boxes), m_buffer(buffer), m_dispatcher(dispatcher) {}

    // What one run reads at most: about a millisecond of handling, and more than four seconds of
    // the serial line. What is left waits for the next run, after the window has turned.
    static constexpr qsizetype kSliceBytes = 16 * 1024;

    // False when a line handler failed and the run ended early.
    bool run();
    // How many bytes the last run read.
    qsizetype lastRead() const { return m_lastRead; }

private:
    // Shows a failure's description in a message box; false then.
    bool succeeded(const HandlerResult& result);

    SerialPort& m_port;
    LinkView& m_view;
    MessageBoxes& m_boxes;
    ReceiveBuffer& m_buffer;
    Dispatcher& m_dispatcher;
    qsizetype m_lastRead = 0;
};
