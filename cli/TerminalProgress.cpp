#include "cli/TerminalProgress.h"

void TerminalProgress::show(const QString& what, qint64 done, qint64 total) {
    if (!m_enabled)
        return;
    const QString line = QStringLiteral("%1 %2 of %3").arg(what).arg(done).arg(total);
    // "\r" returns to the start of the line, "\033[K" clears what a longer line left behind.
    std::fprintf(m_out, "\r%s\033[K", line.toLocal8Bit().constData());
    std::fflush(m_out);
    m_lineOpen = true;
}

void TerminalProgress::endLine() {
    if (!m_lineOpen)
        return;
    std::fputc('\n', m_out);
    std::fflush(m_out);
    m_lineOpen = false;
}
