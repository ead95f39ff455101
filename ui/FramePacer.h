#pragma once

#include <QtGlobal>
#include <functional>
#include <vector>

class Clock;
class SingleShotTimer;

// Paints what streams into the window at most once per display frame.
//
// At the wire rate text arrives in pieces about every 8 ms, and painting costs more than
// handling a piece: each paint waits for the display server. So the traffic log, `Zeile` and the
// progress strip only note what changed and ask for a frame. At the frame each brings its changes
// onto the window, and the window is painted once: the log jumps by all the lines that came
// since, and its scroll bar and the progress strip follow in the same paint. A frame comes at
// most kFrameMs after the change that asked for it, so the operator sees text at most that long
// after its bytes arrived; about 20 frames a second are what the eye needs of a log that
// scrolls, and more would cost the window and the display server more than the records do. A
// change that comes when the frame is almost due (kEarlyTakeMs before) takes it at once, sparing
// the wake-up of its own that the frame would otherwise cost.
//
// showNow() paints at once. It runs before a handler blocks (a pause, a message box, a file
// dialog, a polled wait of the port) and when the log is cleared or replaced, so whatever the
// operator sees then is up to date.
//
// While records stream in, the frame also takes them in: the port keeps them without waking the
// window between frames, and every paint handles them just before it paints, so the window
// thread wakes once a frame instead of once for each piece of the line. Frames then come every
// kStreamFrameMs, five a second: a download's records scroll by faster than anyone reads them
// (at the wire rate a frame brings about as many lines as the log shows), the progress strip is
// what the operator follows, and every frame costs the window and the display server a share of
// its own beyond the lines it draws.
//
// The pacer knows no widget: it is given the timer that brings its frames, the clock it measures
// them by and the call that paints the window, so that the tool without its window (the headless
// harness) is paced exactly as the window is.
class FramePacer final {
public:
    static constexpr int kFrameMs = 45;
    static constexpr int kStreamFrameMs = 200;
    // How long before it is due a frame is taken with a change that woke the window.
    static constexpr int kEarlyTakeMs = 8;

    // Something that shows in the window and brings its noted changes onto it when asked.
    class Client {
    public:
        virtual ~Client() = default;
        virtual void applyPending() = 0;
    };

    // `paint` paints at once what changed in the window. The timer and the clock must outlive the
    // pacer; the timer is the pacer's alone.
    FramePacer(SingleShotTimer& frame, const Clock& clock, std::function<void()> paint);
    FramePacer(const FramePacer&) = delete;
    FramePacer& operator=(const FramePacer&) = delete;

    void attach(Client& client) { m_clients.push_back(&client); }
    // Runs before every paint, a frame that came due or one shown at once, before the clients
    // bring their changes onto the window: input held for the frame is taken in there, and what
    // it adds is painted with this frame. What it asks for (request()) comes with the next frame.
    void setBeforeFrame(std::function<void()> before) { m_beforeFrame = std::move(before); }
    // Tells whether input streams in and waits for the frames to take it in: the next frame then
    // comes after kStreamFrameMs.
    void setStreaming(std::function<bool()> streaming) { m_streaming = std::move(streaming); }
    // A frame will come: changes wait for it.
    bool framePending() const;
    // A client has changes to show: a frame comes within kFrameMs.
    void request();
    // Every client brings its changes onto the window, which is painted now.
    void showNow();

private:
    // Every client brings its changes onto the window, which is painted now.
    void paint();

    SingleShotTimer& m_frame;
    const Clock& m_clock;
    std::function<void()> m_paint;
    std::vector<Client*> m_clients;
    std::function<void()> m_beforeFrame;
    std::function<bool()> m_streaming;
    int m_frameMs = kFrameMs;    // how long after m_pendingSinceMs the pending frame is due
    qint64 m_pendingSinceMs = 0; // the clock's time of the first change not yet shown
};
