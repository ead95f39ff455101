#pragma once

#include <QByteArray>
#include <optional>

// Received bytes that do not yet form a complete line.
//
// A line is everything before a CR LF pair; the pair belongs to no line. A CR or LF on its own is
// an ordinary character. Taking a line does not move the bytes behind it, and the search for the
// next pair resumes where the last one stopped, so any input, in pieces of any size, costs time in
// proportion to its length.
//
// The buffer holds at most one line's worth of bytes: no reply of the handheld comes near
// kMaxLineBytes, so a line that reaches that length is garbage or a flood without line ends. Its
// first kMaxLineBytes bytes are then taken as a line of their own, and counting starts again
// after them. The rule looks only at byte positions since the last line end, never at how the
// input was cut into pieces, so the lines taken are the same however the bytes arrive.
class ReceiveBuffer {
public:
    static constexpr qsizetype kMaxLineBytes = 1024 * 1024;

    // maxLineBytes is for tests and fuzzing; it must be at least 1.
    explicit ReceiveBuffer(qsizetype maxLineBytes = kMaxLineBytes) : m_maxLine(maxLineBytes) {}

    void append(const QByteArray& bytes);

    // The next complete line (possibly empty), removed from the front together with its CR LF, or
    // the first maxLineBytes() bytes of a line that has grown that long; nothing when neither is
    // there yet.
    std::optional<QByteArray> takeLine();

    // Drops the start of a line not yet complete, keeping complete lines not yet taken. Bytes that
    // would have completed it will not come: they belonged to a session that has ended, or a
    // handler reading an answer itself has consumed them.
    void dropIncomplete();

    // The bytes not yet cut into a line.
    QByteArray pending() const { return m_bytes.mid(m_start); }
    qsizetype pendingSize() const { return m_bytes.size() - m_start; }
    qsizetype maxLineBytes() const { return m_maxLine; }
    // How many bytes the search for line ends has looked at so far: the measure of the work,
    // which stays in proportion to the bytes appended however they were cut into pieces.
    qint64 scannedBytes() const { return m_scanned; }

private:
    // Takes `length` bytes and drops `skip` more; no CR LF pair starts before `clear`.
    QByteArray take(qsizetype length, qsizetype skip, qsizetype clear);

    qsizetype m_maxLine;
    QByteArray m_bytes;
    qsizetype m_start = 0;      // bytes before this position have been taken
    qsizetype m_searchFrom = 0; // no CR LF pair starts between m_start and this position
    qint64 m_scanned = 0;
};
