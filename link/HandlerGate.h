#pragma once

#include <functional>
#include <vector>

// Keeps the tool's handlers from interrupting each other.
//
// Every handler runs through run(). A notification from the event loop (received data, a lost
// port) goes through deliver(): it runs at once when no handler is running, and otherwise waits
// until the running handler has returned, even when that handler sits in a modal message box whose
// nested event loop raised the notification. A handler that the tool itself triggers from inside
// another (unchecking the connect toggle raises its click) runs nested through run(), at once.
class HandlerGate {
public:
    // Schedules a call for when the event loop runs next.
    using Post = std::function<void(std::function<void()>)>;

    explicit HandlerGate(Post post) : m_post(std::move(post)) {}

    // Runs each time the outermost handler has returned, before anything else waits its turn.
    void setAfterHandler(std::function<void()> after) { m_after = std::move(after); }

    void run(const std::function<void()>& handler);
    // A notification of a kind (any tag but nullptr) waits at most once: one run covers all that
    // were raised meanwhile, as one receive handler reads everything that arrived. A handler that
    // sits in a modal box for hours while the handheld floods the line thus leaves one waiting
    // notification behind, not millions.
    void deliver(std::function<void()> notification, const void* kind = nullptr);
    bool busy() const { return m_depth > 0; }
    std::size_t waiting() const { return m_waiting.size(); }

private:
    struct Waiting {
        std::function<void()> call;
        const void* kind;
    };

    void flush();

    Post m_post;
    std::function<void()> m_after;
    int m_depth = 0;
    bool m_flushPosted = false;
    std::vector<Waiting> m_waiting;
};
