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
    if (end < 0) {
        // A CR at the very end may still be followed by its LF.
        m_searchFrom = std::max(m_start, m_bytes.size() - 1);
        return std::nullopt;
    }
    QByteArray line = m_bytes.mid(m_start, end - m_start);
    m_start = end + 2;
    m_searchFrom = m_start;
    if (m_start == m_bytes.size()) {
        m_bytes.clear();
        m_start = 0;
        m_searchFrom = 0;
    }
    return line;
}
