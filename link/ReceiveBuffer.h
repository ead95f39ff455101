#pragma once

#include <QByteArray>
#include <optional>

// Received bytes that do not yet form a complete line.
//
// A line is everything before a CR LF pair; the pair belongs to no line. A CR or LF on its own is
// an ordinary character. Lines of any length are cut. Taking a line does not move the bytes
// behind it, and the search for the next pair resumes where the last one stopped, so any input,
// in pieces of any size, costs time in proportion to its length.
class ReceiveBuffer {
public:
    void append(const QByteArray& bytes);

    // The next complete line (possibly empty), removed from the front together with its CR LF;
    // nothing when no CR LF pair is left.
    std::optional<QByteArray> takeLine();

    // The bytes not yet cut into a line.
    QByteArray pending() const { return m_bytes.mid(m_start); }
    qsizetype pendingSize() const { return m_bytes.size() - m_start; }

private:
    QByteArray m_bytes;
    qsizetype m_start = 0;      // bytes before this position have been taken
    qsizetype m_searchFrom = 0; // no CR LF pair starts between m_start and this position
};
