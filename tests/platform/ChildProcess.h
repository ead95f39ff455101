#pragma once

#include <csignal>
#include <functional>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

// A forked copy of the test that does one thing (open a device, take another name) and then
// waits, doing nothing, until it is stopped. The setup runs before the constructor returns; it
// must only make system calls, never touch Qt or the test framework.
class ChildProcess {
public:
    explicit ChildProcess(const std::function<bool()>& setUp = [] { return true; }) {
        int ready[2];
        if (::pipe(ready) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(ready[0]);
            const char ok = setUp() ? 1 : 0;
            [[maybe_unused]] const ssize_t written = ::write(ready[1], &ok, 1);
            ::close(ready[1]);
            for (;;)
                ::pause();
        }
        ::close(ready[1]);
        char ok = 0;
        m_started = m_pid > 0 && ::read(ready[0], &ok, 1) == 1 && ok == 1;
        ::close(ready[0]);
    }
    ~ChildProcess() { stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return m_started; }
    pid_t pid() const { return m_pid; }

    // Ends and reaps the child; its PID then names no running process.
    void stop() {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    bool m_started = false;
};
