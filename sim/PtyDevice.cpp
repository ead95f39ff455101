#include "sim/PtyDevice.h"

#include "sim/DeviceModel.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr qint64 kNsPerMs = 1'000'000;
// A reply line cut in two has its second half written this long after the first: 2 to 6 ms.
constexpr qint64 kSplitGapBaseNs = 2 * kNsPerMs;
constexpr int kSplitGapSteps = 5;
// After an idle line the wire pacing starts afresh instead of catching up.
constexpr qint64 kWireIdleNs = 20 * kNsPerMs;
constexpr int kReadChunk = 4096;
// --split-every: the gap between two bytes of a reply.
constexpr qint64 kByteGapNs = kNsPerMs;
// --garbage: the length of each garbage line, without its CR LF.
constexpr int kGarbageMin = 8;
constexpr int kGarbageSpread = 40;
// Before --unplug-after pulls the device, the tool gets this long to read its last bytes.
constexpr int kUnplugPollMs = 5;
constexpr qint64 kUnplugSettleMs = 20;
constexpr qint64 kUnplugPatienceMs = 1000;

} // namespace

PtyDevice::PtyDevice(DeviceModel& model, const Options& options, QObject* parent)
    : QObject(parent), m_model(model), m_options(options), m_randomState(options.seed) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PtyDevice::pump);
    m_unplugTimer.setInterval(kUnplugPollMs);
    connect(&m_unplugTimer, &QTimer::timeout, this, &PtyDevice::checkUnplug);
}

PtyDevice::~PtyDevice() {
    closeAll();
}

void PtyDevice::closeAll() {
    m_timer.stop();
    m_unplugTimer.stop();
    m_queue.clear();
    // A notifier may be the one whose signal is running now: it goes once that has returned.
    for (QSocketNotifier** notifier : {&m_readNotifier, &m_writeNotifier}) {
        if (*notifier) {
            (*notifier)->setEnabled(false);
            (*notifier)->deleteLater();
        }
        *notifier = nullptr;
    }
    m_pty.close();
}

bool PtyDevice::open() {
    // The pair holds a slave descriptor for the device's whole life: without it the master reads
    // a hang-up whenever the tool has the port closed, and the slave node vanishes.
    if (!m_pty.open({.nonBlockingMaster = true, .holdSlave = true})) {
        m_error = m_pty.errorString();
        closeAll();
        return false;
    }
    termios settings = m_pty.lineSettings();
    ::cfsetispeed(&settings, B38400);
    ::cfsetospeed(&settings, B38400);
    settings.c_cflag |= CLOCAL | CREAD;
    if (!m_pty.setLineSettings(settings)) {
        m_error = QStringLiteral("tcsetattr: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        closeAll();
        return false;
    }
    const int master = m_pty.master();
    m_clock.start();
    m_readNotifier = new QSocketNotifier(master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyDevice::onReadable);
    m_writeNotifier = new QSocketNotifier(master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, [this] {
        m_writeNotifier->setEnabled(false);
        pump();
    });
    return true;
}

void PtyDevice::dropPendingOutput() {
    // A tool that says goodbye ends the session: what was still to be sent for it, and what the
    // tool has not read yet, is no longer wanted.
    m_pty.discardUnread();
    m_queue.clear();
    m_timer.stop();
}

void PtyDevice::onReadable() {
    QByteArray input;
    char buffer[kReadChunk];
    for (;;) {
        const ssize_t got = ::read(m_pty.master(), buffer, sizeof buffer);
        if (got > 0) {
            input.append(buffer, got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        break; // EAGAIN: all read. EIO cannot happen while the device's own slave is open.
    }
    if (input.isEmpty() || m_options.silent)
        return;
    if (input.contains("DISCONNECT\r"))
        dropPendingOutput();
    for (const auto& [command, reply] : answer(input))
        queueReply(command, reply);
    pump();
}

bool PtyDevice::listed(const QList<QByteArray>& commands, const QByteArray& line) {
    for (const QByteArray& command : commands)
        if (line == command || line.startsWith(command + ' '))
            return true;
    return false;
}

QList<std::pair<QByteArray, QByteArray>> PtyDevice::answer(const QByteArray& input) {
    QList<std::pair<QByteArray, QByteArray>> replies;
    // The model answers command by command, so a flood can take the place of one answer.
    for (const auto& [command, modelReply] : m_model.exchange(input)) {
        if (listed(m_options.ignored, command))
            continue;
        if (listed(m_options.failed, command)) {
            replies.append({command, QByteArrayLiteral("Error\r\n")});
            continue;
        }
        if (m_options.flood >= 0 && command == "READID") {
            replies.append({command, floodBytes(m_options.flood)});
            continue;
        }
        if (modelReply.isEmpty())
            continue;
        QByteArray reply;
        // The records follow "GET" at once: a line before them would be taken for one.
        if (m_options.echo && command != "GET")
            reply += command + "\r\n";
        if (!m_options.lateLine.isEmpty() && command != "GET")
            reply += m_options.lateLine + "\r\n";
        reply += modelReply;
        if (m_options.garbage)
            reply += garbageLine();
        replies.append({command, reply});
    }
    return replies;
}

QByteArray PtyDevice::floodBytes(qint64 count) {
    QByteArray bytes(count, Qt::Uninitialized);
    for (qint64 i = 0; i < count; ++i)
        bytes[i] = static_cast<char>(i & 0xff);
    return bytes;
}

QByteArray PtyDevice::garbageLine() {
    // A small linear congruential generator: the same garbage on every run of a test.
    auto next = [this] {
        m_garbageState = m_garbageState * 1664525U + 1013904223U;
        return m_garbageState >> 24;
    };
    const int length = kGarbageMin + static_cast<int>(next() % kGarbageSpread);
    QByteArray line;
    for (int i = 0; i < length; ++i) {
        char byte = static_cast<char>(next());
        if (byte == '\n' && line.endsWith('\r'))
            byte = '\0';
        line.append(byte);
    }
    // Never without a NUL and an 8-bit byte.
    line[length / 3] = '\0';
    line[2 * length / 3] = '\xe9';
    return line + "\r\n";
}

void PtyDevice::queueReply(const QByteArray& command, const QByteArray& reply) {
    if (reply.isEmpty())
        return;
    const qint64 dueNs = m_clock.nsecsElapsed() + m_options.latencyMs * kNsPerMs;
    const bool records = command == "GET";
    const QList<Segment> pieces = segments(reply, dueNs, records);
    if (m_options.interleave && !records) {
        // Behind the record line going out now, ahead of the records still to come.
        for (qsizetype i = 0; i < m_queue.size(); ++i) {
            if (!m_queue[i].record)
                break;
            if (m_queue[i].endsLine) {
                m_queue.insert(i + 1, pieces.size(), Segment());
                std::copy(pieces.begin(), pieces.end(), m_queue.begin() + i + 1);
                return;
            }
        }
    }
    m_queue.append(pieces);
}

QList<PtyDevice::Segment> PtyDevice::segments(const QByteArray& reply, qint64 dueNs, bool records) {
    const bool byLine = m_options.split || m_options.splitEvery || m_options.trickleMs >= 0 ||
                        m_options.interleave || (records && m_options.pauseEvery > 0);
    if (!byLine)
        return {{reply, 0, dueNs, 0, true, records}};
    QList<Segment> pieces;
    qsizetype start = 0;
    for (int line = 0; start < reply.size(); ++line) {
        qsizetype end = reply.indexOf("\r\n", start);
        end = end < 0 ? reply.size() : end + 2;
        const QByteArray text = reply.mid(start, end - start);
        start = end;
        qint64 gapNs = 0;
        if (records && m_options.pauseEvery > 0 && line > 0 && line % m_options.pauseEvery == 0)
            gapNs = m_options.pauseMs * kNsPerMs;
        QList<QByteArray> cut;
        QList<qint64> gaps;
        if (m_options.splitEvery) {
            for (qsizetype i = 0; i < text.size(); ++i) {
                cut << text.mid(i, 1);
                gaps << (i == 0 ? 0 : kByteGapNs);
            }
        } else if (m_options.trickleMs >= 0) {
            for (qsizetype i = 0; i < text.size();) {
                const qsizetype size = 1 + random() % 8;
                cut << text.mid(i, size);
                gaps << (i == 0 ? 0 : qint64(random() % (m_options.trickleMs + 1)) * kNsPerMs);
                i += size;
            }
        } else if (m_options.split && text.size() >= 2) {
            // The cut moves through every position of the line, from after its first byte to
            // between CR and LF.
            const qsizetype at = 1 + m_splits % (text.size() - 1);
            cut << text.left(at) << text.mid(at);
            gaps << 0 << kSplitGapBaseNs + (m_splits % kSplitGapSteps) * kNsPerMs;
            ++m_splits;
        } else {
            cut << text;
            gaps << 0;
        }
        for (qsizetype i = 0; i < cut.size(); ++i) {
            pieces.append(
                {cut[i], 0, dueNs, (i == 0 ? gapNs : 0) + gaps[i], i + 1 == cut.size(), records});
        }
    }
    return pieces;
}

quint32 PtyDevice::random() {
    m_randomState = m_randomState * 1664525U + 1013904223U;
    return m_randomState >> 8;
}

void PtyDevice::pump() {
    if (!m_pty.isOpen())
        return;
    while (!m_queue.isEmpty()) {
        Segment& segment = m_queue.first();
        const qint64 now = m_clock.nsecsElapsed();
        qint64 due = qMax(segment.dueNs, m_lastFinishedNs + segment.gapNs);
        if (m_options.wire) {
            if (m_wireNextNs < now - kWireIdleNs)
                m_wireNextNs = now;
            due = qMax(due, m_wireNextNs);
        }
        if (due > now) {
            scheduleAt(due);
            return;
        }

        qsizetype size = segment.bytes.size() - segment.offset;
        if (m_options.wire)
            size = qMin<qsizetype>(size, kWirePiece);
        if (m_options.unplugAfter >= 0) {
            const qint64 left = m_options.unplugAfter - m_written;
            if (left <= 0) {
                unplugWhenRead();
                return;
            }
            size = qMin<qsizetype>(size, left);
        }
        const ssize_t put = ::write(m_pty.master(), segment.bytes.constData() + segment.offset,
                                    static_cast<size_t>(size));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                // The tool has not read enough yet; go on when the kernel takes more.
                m_writeNotifier->setEnabled(true);
                return;
            }
            qWarning("quorvelino-sim: write to the pseudo-terminal failed: %s",
                     std::strerror(errno));
            m_queue.clear();
            return;
        }
        m_written += put;
        segment.offset += put;
        if (m_options.wire)
            m_wireNextNs += put * kWireByteNs;
        if (segment.offset >= segment.bytes.size()) {
            m_queue.removeFirst();
            m_lastFinishedNs = m_clock.nsecsElapsed();
        }
        if (m_options.unplugAfter >= 0 && m_written >= m_options.unplugAfter) {
            unplugWhenRead();
            return;
        }
    }
}

void PtyDevice::scheduleAt(qint64 dueNs) {
    const qint64 waitNs = dueNs - m_clock.nsecsElapsed();
    const int waitMs = static_cast<int>(qMax<qint64>(0, (waitNs + kNsPerMs - 1) / kNsPerMs));
    m_timer.start(waitMs);
}

void PtyDevice::unplugWhenRead() {
    if (m_unplugTimer.isActive() || !m_pty.isOpen())
        return;
    m_queue.clear();
    m_timer.stop();
    if (m_readNotifier)
        m_readNotifier->setEnabled(false);
    m_unplugClock.start();
    m_unplugTimer.start();
}

void PtyDevice::checkUnplug() {
    // Bytes on their way from the master reach the slave's queue a moment after the write, so
    // an empty queue counts only after kUnplugSettleMs.
    const int unread = qMax(0, m_pty.unread());
    const qint64 waited = m_unplugClock.elapsed();
    if ((unread == 0 && waited >= kUnplugSettleMs) || waited >= kUnplugPatienceMs) {
        m_unplugTimer.stop();
        unplug();
    }
}

void PtyDevice::unplug() {
    if (!m_pty.isOpen())
        return;
    closeAll();
    emit unplugged();
}
