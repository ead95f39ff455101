#include "tests/support/ScriptedHandheld.h"

#include <chrono>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr int kPollMs = 10;
constexpr int kReadChunk = 4096;
// A tool that stops reading holds the handheld up no longer than this per answer.
constexpr int kSendPatienceMs = 2000;

void sleepUntil(qint64 ms) {
    const qint64 left = ms - ScriptedHandheld::nowMs();
    if (left > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(left));
}

} // namespace

ScriptedHandheld::ScriptedHandheld(const DeviceModel::Options& model) : m_model(model) {
    // A non-blocking master, so that a tool that no longer reads cannot hold the thread forever.
    if (m_pty.open({.nonBlockingMaster = true, .holdSlave = true}))
        m_thread = std::thread([this] { run(); });
}

ScriptedHandheld::~ScriptedHandheld() {
    stop();
}

qint64 ScriptedHandheld::nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void ScriptedHandheld::setAnswer(const QByteArray& command, const Answer& answer) {
    std::lock_guard lock(m_mutex);
    m_answers.insert(command, answer);
}

void ScriptedHandheld::setScript(Script script) {
    std::lock_guard lock(m_mutex);
    m_script = std::move(script);
}

void ScriptedHandheld::clearScript() {
    std::lock_guard lock(m_mutex);
    m_script = nullptr;
    m_answers.clear();
}

void ScriptedHandheld::setSilent(bool silent) {
    std::lock_guard lock(m_mutex);
    m_silent = silent;
}

QList<ScriptedHandheld::Line> ScriptedHandheld::linesFrom(qsizetype first) const {
    std::lock_guard lock(m_mutex);
    return m_lines.mid(first);
}

qsizetype ScriptedHandheld::lineCount() const {
    std::lock_guard lock(m_mutex);
    return m_lines.size();
}

QByteArray ScriptedHandheld::pending() const {
    std::lock_guard lock(m_mutex);
    return m_pending;
}

QList<QByteArray> ScriptedHandheld::commands() const {
    std::lock_guard lock(m_mutex);
    return m_model.commands();
}

DeviceModel ScriptedHandheld::model() const {
    std::lock_guard lock(m_mutex);
    return m_model;
}

void ScriptedHandheld::setModel(const DeviceModel& model) {
    std::lock_guard lock(m_mutex);
    m_model = model;
}

bool ScriptedHandheld::send(const QByteArray& bytes) {
    std::lock_guard lock(m_writeMutex);
    const bool sent = m_pty.isOpen() && m_pty.send(bytes, kSendPatienceMs);
    if (sent)
        m_written += bytes.size();
    return sent;
}

void ScriptedHandheld::hangUp() {
    stop();
    std::lock_guard lock(m_writeMutex);
    m_pty.hangUp();
}

void ScriptedHandheld::stop() {
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void ScriptedHandheld::run() {
    // Only this thread reads the master, and only it or hangUp(), after this thread has ended,
    // closes it: the descriptor stays valid here.
    const int master = m_pty.master();
    char buffer[kReadChunk];
    while (!m_stop) {
        pollfd wait{master, POLLIN, 0};
        if (::poll(&wait, 1, kPollMs) <= 0 || !(wait.revents & POLLIN))
            continue;
        const ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got <= 0)
            continue;
        const qint64 at = nowMs();
        for (const Answer& answer : receive(QByteArray(buffer, got), at)) {
            deliver(answer, at);
            if (answer.hangUp)
                return;
        }
    }
}

QList<ScriptedHandheld::Answer> ScriptedHandheld::receive(const QByteArray& input, qint64 atMs) {
    std::lock_guard lock(m_mutex);
    QList<Answer> answers;
    for (const char byte : input) {
        m_pending += byte;
        if (byte != '\r')
            continue;
        const QByteArray modelAnswer = m_model.receive(m_pending);
        Answer answer = modelAnswer;
        if (m_answers.contains(m_pending))
            answer = m_answers.value(m_pending);
        else if (m_script)
            answer = m_script(m_pending, modelAnswer);
        if (m_silent)
            answer = Answer();
        if (m_pending == "ONLINE\r")
            answer.delayMs = qMax(answer.delayMs, kWakeMs);
        m_lines.append({m_pending, atMs, answer.bytes});
        answers.append(answer);
        m_pending.clear();
    }
    return answers;
}

void ScriptedHandheld::deliver(const Answer& answer, qint64 arrivedMs) {
    sleepUntil(arrivedMs + answer.delayMs);
    if (answer.lineGapMs <= 0) {
        send(answer.bytes);
    } else {
        for (qsizetype start = 0; start < answer.bytes.size() && !m_stop;) {
            const qsizetype lf = answer.bytes.indexOf('\n', start);
            const qsizetype end = lf < 0 ? answer.bytes.size() : lf + 1;
            if (start > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(answer.lineGapMs));
            send(answer.bytes.mid(start, end - start));
            start = end;
        }
    }
    if (answer.hangUp) {
        std::lock_guard lock(m_writeMutex);
        m_pty.hangUp();
    }
}
