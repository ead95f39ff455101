#include "cli/Interruption.h"

#include <atomic>
#include <csignal>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// Set by the signal handler, read by the program: the only state a signal handler may touch.
std::atomic<int> g_signal{0};

#ifdef Q_OS_WIN
// Runs on a thread the system starts for the event.
BOOL WINAPI onConsoleEvent(DWORD event) {
    int number = 0;
    switch (event) {
    case CTRL_C_EVENT:
        number = SIGINT;
        break;
    case CTRL_BREAK_EVENT:
        number = Interruption::kCtrlBreak;
        break;
    case CTRL_CLOSE_EVENT:
        number = Interruption::kConsoleClosed;
        break;
    default:
        return FALSE;
    }
    // The second event of a kind has its default effect: the program ends at once.
    int none = 0;
    if (!g_signal.compare_exchange_strong(none, number) && g_signal.load() == number)
        return FALSE;
    if (event == CTRL_CLOSE_EVENT) {
        // Windows ends the program when this returns, and at the latest after five seconds:
        // meanwhile the run says goodbye to the handheld and returns from main(), which ends
        // the program and this thread with it.
        ::Sleep(5000);
    }
    return TRUE;
}
#else
void onSignal(int number) {
    g_signal.store(number);
}
#endif

} // namespace

void Interruption::catchSignals() {
#ifdef Q_OS_WIN
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // The handler is used once: the next signal of its kind has its default effect.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (const int number : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(number, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
#endif
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
