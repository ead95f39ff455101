#include "link/ReceiveBuffer.h"

#include <algorithm>

void ReceiveBuffer::append(const QByteArray& bytes) {
    // Drop what has been taken before the buffer grows, once it is the larger part.
    if (m_start > 0 && m_start >= m_bytes.size() / 2) {
        m_bytes.remove(0, m_start);
        m_searchFrom -= m_start;
        m_start = 0;
    }
    m_bytes.append(bytes);
}

std::optional<QByteArray> ReceiveBuffer::takeLine() {
    const qsizetype from = std::max(m_start, m_searchFrom);
    const qsizetype end = m_bytes.indexOf("\r\n", from);
    m_scanned += (end >= 0 ? end + 2 : m_bytes.size()) - from;
    if (end >= 0 && end - m_start < m_maxLine)
        return take(end - m_start, 2, end + 2);
    // No pair starts before this position (a CR at the very end may still get its LF).
    const qsizetype clear = end >= 0 ? end : std::max(m_start, m_bytes.size() - 1);
    // A pair that starts at position m_maxLine or later, or none yet: the line is too long once
    // more than m_maxLine bytes are there. With exactly m_maxLine bytes, the last one may be a
    // CR whose LF is still to come.
    if (pendingSize() > m_maxLine)
        return take(m_maxLine, 0, clear);
    m_searchFrom = clear;
    return std::nullopt;
}

QByteArray ReceiveBuffer::take(qsizetype length, qsizetype skip, qsizetype clear) {
    QByteArray line = m_bytes.mid(m_start, length);
    m_start += length + skip;
    m_searchFrom = std::max(m_start, clear);
    if (m_start == m_bytes.size()) {
        m_bytes.clear();
        m_start = 0;
        m_searchFrom = 0;
    }
    return line;
}

void ReceiveBuffer::dropIncomplete() {
    const qsizetype lastEnd = m_bytes.lastIndexOf("\r\n");
    const qsizetype keep = lastEnd >= m_start ? lastEnd + 2 : m_start;
    m_bytes.truncate(keep);
    m_searchFrom = std::min(m_searchFrom, keep);
}
