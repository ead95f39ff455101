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

    void run(const std::function<void()>& handler);
    void deliver(std::function<void()> notification);
    bool busy() const { return m_depth > 0; }

private:
    void flush();

    Post m_post;
    int m_depth = 0;
    bool m_flushPosted = false;
    std::vector<std::function<void()>> m_waiting;
};
