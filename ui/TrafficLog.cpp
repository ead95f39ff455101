#include "ui/TrafficLog.h"

#include "ui/LogScrollBar.h"
#include "ui/PaintNow.h"

#include <QFontDatabase>
#include <QLineEdit>
#include <QTextBlock>
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
    m_scrollBar = new LogScrollBar(this);
    setVerticalScrollBar(m_scrollBar);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setPointSizeF(kPointSize);
    setFont(font);
    // The oldest lines are dropped by dropOldestLines(), not by the document's own bound.
    m_end = QTextCursor(document());
}

QString TrafficLog::displayed(const QByteArray& bytes) {
    // Every byte gives at most one character, and a piece break at most every kMaxShownColumns.
    QString shown(bytes.size() + bytes.size() / kMaxShownColumns + 1, Qt::Uninitialized);
    QChar* out = shown.data();
    for (const char byte : bytes) {
        const bool afterCr = m_pendingCr;
        m_pendingCr = false;
        if (byte == '\r' || (byte == '\n' && !afterCr)) {
            *out++ = QLatin1Char('\n');
            m_pendingCr = byte == '\r';
            m_column = 0;
            continue;
        }
        if (byte == '\n')
            continue;
        if (m_column == kMaxShownColumns) {
            *out++ = QLatin1Char('\n');
            m_column = 0;
        }
        *out++ = byte == '\0' ? QChar(kNulSymbol) : QChar(QLatin1Char(byte));
        ++m_column;
    }
    shown.truncate(out - shown.constData());
    return shown;
}

void TrafficLog::insertAtEnd(const QByteArray& bytes) {
    m_bytes += bytes;
    if (m_bytes.size() > kMaxKeptBytes)
        m_bytes.remove(0, m_bytes.size() - kMaxKeptBytes / 2);
    m_scrollBar->hold();
    m_end.insertText(displayed(bytes));
    dropOldestLines();
    // The caret to the end brings the newest text into view; the repaint shows it before the
    // handler that called goes on, perhaps into a pause.
    if (!textCursor().atEnd())
        moveCursor(QTextCursor::End);
    ensureCursorVisible();
    m_scrollBar->release();
    PaintNow::changes(*this);
}

void TrafficLog::dropOldestLines() {
    // The document's own bound (setMaximumBlockCount) walks a cursor over every line it drops and
    // lays each one out, which costs more than appending it did; one range costs the same for any
    // number of lines.
    const int excess = document()->blockCount() - kMaxShownLines;
    if (excess <= 0)
        return;
    QTextCursor oldest(document());
    oldest.setPosition(document()->findBlockByNumber(excess).position(), QTextCursor::KeepAnchor);
    oldest.removeSelectedText();
}

void TrafficLog::clearLog() {
    m_bytes.clear();
    m_pendingCr = false;
    m_column = 0;
    clear();
    m_end = QTextCursor(document());
    viewport()->repaint();
}

void TrafficLog::replaceLog(const QByteArray& text) {
    m_bytes.clear();
    m_pendingCr = false;
    m_column = 0;
    clear();
    m_end = QTextCursor(document());
    insertAtEnd(text);
}

void TrafficLog::appendLog(const QByteArray& text) {
    insertAtEnd(text);
}

void TrafficLog::setZeile(const QByteArray& line) {
    if (m_zeile)
        m_zeile->setText(QString::fromLatin1(line));
}
