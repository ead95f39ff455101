#include "ui/LogAnnouncer.h"

#include "ui/LogText.h"

#include <QAccessible>

LogAnnouncer::Listener LogAnnouncer::assistiveTechnology() {
    return {[] { return QAccessible::isActive(); },
            [](QAccessibleEvent* event) { QAccessible::updateAccessibility(event); }};
}

LogAnnouncer::LogAnnouncer(QObject& log, LogText& text, Listener listener)
    : m_log(log), m_text(text), m_listener(std::move(listener)) {
    m_heldBack.setSingleShot(true);
    connect(&m_heldBack, &QTimer::timeout, this, &LogAnnouncer::announce);
}

void LogAnnouncer::appended() {
    if (!m_listener.listening()) {
        markAnnounced();
        return;
    }
    if (!m_sinceAnnounced.isValid() || m_sinceAnnounced.elapsed() >= kEveryMs) {
        announce();
        return;
    }
    if (!m_heldBack.isActive())
        m_heldBack.start(static_cast<int>(kEveryMs - m_sinceAnnounced.elapsed()));
}

void LogAnnouncer::announce() {
    m_heldBack.stop();
    if (!m_listener.listening()) {
        markAnnounced();
        return;
    }
    m_sinceAnnounced.start();
    const qint64 first = m_text.firstOffset();
    // The oldest lines that went, as far as they had been told.
    const QString dropped = m_text.takeDropped();
    const qint64 droppedFrom = first - dropped.size();
    const qint64 toldDropped = qBound<qint64>(0, m_announcedEnd - droppedFrom, dropped.size());
    if (toldDropped > 0)
        tell(QAccessibleTextRemoveEvent(&m_log, 0, dropped.left(toldDropped)));
    qint64 from = qMax(m_announcedEnd, first);
    // A CR that was told as its symbol and has since met its LF: the symbol went.
    if (m_pendingCrAt >= first && m_pendingCrAt < m_announcedEnd) {
        const int at = static_cast<int>(m_pendingCrAt - first);
        if (m_text.text(at, at + 1) != QStringView(u"\u240D")) {
            tell(QAccessibleTextRemoveEvent(&m_log, at, QStringLiteral("\u240D")));
            from = m_pendingCrAt;
        }
    }
    const int at = static_cast<int>(from - first);
    const QString added = m_text.text(at, m_text.characterCount());
    if (!added.isEmpty())
        tell(QAccessibleTextInsertEvent(&m_log, at, added));
    markAnnounced();
}

void LogAnnouncer::markAnnounced() {
    m_text.keepDropped(m_listener.listening());
    m_text.takeDropped();
    const LogText::Place settled = m_text.settledEnd();
    m_announcedEnd = m_text.firstOffset() + m_text.characterCount();
    m_pendingCrAt = settled == m_text.end() ? -1 : m_announcedEnd - 1;
}

void LogAnnouncer::clearing() {
    if (!m_listener.listening())
        return;
    announce();
    if (m_text.characterCount() > 0)
        tell(QAccessibleTextRemoveEvent(&m_log, 0, m_text.toPlainText()));
}

void LogAnnouncer::cleared() {
    markAnnounced();
}

void LogAnnouncer::selectionChanged() {
    if (!m_listener.listening())
        return;
    tell(QAccessibleTextSelectionEvent(&m_log, m_text.offsetOf(m_text.selectionStart()),
                                       m_text.offsetOf(m_text.selectionEnd())));
}
