#include "cli/Interruption.h"

#include <atomic>
#include <csignal>

namespace {

// Set by the signal handler, read by the program: the only state a signal handler may touch.
std::atomic<int> g_signal{0};

void onSignal(int number) {
    g_signal.store(number);
}

} // namespace

void Interruption::catchSignals() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // The handler is used once: the next signal of its kind has its default effect.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (const int number : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(number, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
}

void Interruption::limitTo(int seconds) {
    m_limitSeconds = seconds;
    m_started.start();
}

Interruption::Reason Interruption::reason() const {
    if (g_signal.load() != 0)
        return Reason::Signal;
    if (m_limitSeconds > 0 && m_started.elapsed() >= qint64(m_limitSeconds) * 1000)
        return Reason::TimeLimit;
    return Reason::None;
}

int Interruption::signalNumber() {
    return g_signal.load();
}
