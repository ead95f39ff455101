#include "ui/TrafficLog.h"

#include <QFontDatabase>
#include <QLineEdit>
#include <QTextCursor>

namespace {

constexpr char16_t kNulSymbol = u'\u2400';
constexpr qreal kPointSize = 9.75;
// The log keeps a large but bounded history, its oldest lines dropped first, so a handheld that
// floods the line for hours cannot grow the tool without bound. A full record download fits.
constexpr int kMaxShownLines = 40000;
// A line longer than this is shown broken into pieces: laying out one endless line again on
// every append would cost time in proportion to its length each time.
constexpr int kMaxShownColumns = 512;
// The exact bytes kept for text(): the newest ones, at most this many.
constexpr qsizetype kMaxKeptBytes = 4 * 1024 * 1024;

} // namespace

TrafficLog::TrafficLog(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("Ausgabe"));
    setReadOnly(true);
    // The log is cleared before every command and may then take a whole record download; an
    // undo history of that would only cost memory.
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(kPointSize);
    setFont(font);
    setMaximumBlockCount(kMaxShownLines);
}

QString TrafficLog::displayed(const QByteArray& bytes) {
    QString shown;
    shown.reserve(bytes.size());
    for (const char byte : bytes) {
        const bool afterCr = m_pendingCr;
        m_pendingCr = false;
        if (byte == '\r' || (byte == '\n' && !afterCr)) {
            shown += QLatin1Char('\n');
            m_pendingCr = byte == '\r';
            m_column = 0;
            continue;
        }
        if (byte == '\n')
            continue;
        if (m_column == kMaxShownColumns) {
            shown += QLatin1Char('\n');
            m_column = 0;
        }
        shown += byte == '\0' ? QChar(kNulSymbol) : QChar(QLatin1Char(byte));
        ++m_column;
    }
    return shown;
}

void TrafficLog::insertAtEnd(const QByteArray& bytes) {
    m_bytes += bytes;
    if (m_bytes.size() > kMaxKeptBytes)
        m_bytes.remove(0, m_bytes.size() - kMaxKeptBytes / 2);
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(displayed(bytes));
    // The caret to the end brings the newest text into view; the repaint shows it before the
    // handler that called goes on, perhaps into a pause.
    moveCursor(QTextCursor::End);
    ensureCursorVisible();
    viewport()->repaint();
}

void TrafficLog::clearLog() {
    m_bytes.clear();
    m_pendingCr = false;
    m_column = 0;
    clear();
    viewport()->repaint();
}

void TrafficLog::replaceLog(const QByteArray& text) {
    m_bytes.clear();
    m_pendingCr = false;
    m_column = 0;
    clear();
    insertAtEnd(text);
}

void TrafficLog::appendLog(const QByteArray& text) {
    insertAtEnd(text);
}

void TrafficLog::setZeile(const QByteArray& line) {
    if (m_zeile)
        m_zeile->setText(QString::fromLatin1(line));
}
