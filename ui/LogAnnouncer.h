#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

class LogText;
class QAccessibleEvent;

// Tells assistive technology what changed in the traffic log's text: the text added at the end,
// the oldest lines dropped, a clear, the operator's selection.
//
// While text streams in, what was added is told at most every kEveryMs, in one event, so a
// screen reader hears of new lines without being flooded; the first change after a quiet spell
// is told at once. Nothing is done while no assistive technology listens.
class LogAnnouncer final : public QObject {
    Q_OBJECT

public:
    static constexpr int kEveryMs = 250;

    // Who hears the events: assistive technology through Qt unless a test listens instead.
    struct Listener {
        std::function<bool()> listening;
        std::function<void(QAccessibleEvent*)> hear;
    };
    static Listener assistiveTechnology();

    // The log is the widget whose accessible text `text` is.
    LogAnnouncer(QObject& log, LogText& text, Listener listener);

    // After text was appended.
    void appended();
    // Right before the text is cleared, and right after.
    void clearing();
    void cleared();
    void selectionChanged();

private:
    // Tells what changed since the last time, now.
    void announce();
    // Takes the text as it is now for what assistive technology knows.
    void markAnnounced();

    void tell(QAccessibleEvent&& event) { m_listener.hear(&event); }

    QObject& m_log;
    LogText& m_text;
    Listener m_listener;
    // The end of what was told, in characters since the last clear, and where a CR shown as its
    // symbol (it may yet turn into a line end) stood then, or -1.
    qint64 m_announcedEnd = 0;
    qint64 m_pendingCrAt = -1;
    QElapsedTimer m_sinceAnnounced;
    QTimer m_heldBack;
};
