#include "ui/TrafficLog.h"

#include <QFontDatabase>
#include <QLineEdit>
#include <QTextCursor>

namespace {

constexpr char16_t kNulSymbol = u'\u2400';
constexpr qreal kPointSize = 9.75;

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
}

QString TrafficLog::displayed(const QByteArray& bytes) {
    QString shown;
    shown.reserve(bytes.size());
    for (const char byte : bytes) {
        const bool afterCr = m_pendingCr;
        m_pendingCr = false;
        switch (byte) {
        case '\r':
            shown += QLatin1Char('\n');
            m_pendingCr = true;
            break;
        case '\n':
            if (!afterCr)
                shown += QLatin1Char('\n');
            break;
        case '\0':
            shown += QChar(kNulSymbol);
            break;
        default:
            shown += QLatin1Char(byte);
        }
    }
    return shown;
}

void TrafficLog::insertAtEnd(const QByteArray& bytes) {
    m_bytes += bytes;
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
    clear();
    viewport()->repaint();
}

void TrafficLog::replaceLog(const QByteArray& text) {
    m_bytes.clear();
    m_pendingCr = false;
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
