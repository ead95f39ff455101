#pragma once

#include "link/LinkView.h"

#include <QByteArray>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCursor>

class LogScrollBar;

// The traffic log `Ausgabe`: every received byte as one Latin-1 character, read-only, in a
// fixed-pitch font. It also feeds the hidden last-line field `Zeile`.
//
// A line end shows as one line break, whether it came as CR LF, a lone CR or a lone LF, also
// when the CR and the LF of a pair arrive in two appends. A NUL byte shows as the symbol U+2400.
// A very long line is shown in pieces, and only the newest lines are kept.
// Appending costs time in proportion to what is appended, however long the log already is, and
// paints before it returns only what changed: the new text and the lines the view scrolls.
class TrafficLog final : public QPlainTextEdit, public LinkView {
    Q_OBJECT

public:
    explicit TrafficLog(QWidget* parent = nullptr);

    // The field that setZeile writes; the log does not own it.
    void setZeileField(QLineEdit* zeile) { m_zeile = zeile; }

    void clearLog() override;
    void replaceLog(const QByteArray& text) override;
    void appendLog(const QByteArray& text) override;
    void setZeile(const QByteArray& line) override;

    // The bytes the log holds, exactly as they were given to it since the last clear or replace;
    // of a very long log only the newest megabytes.
    const QByteArray& text() const { return m_bytes; }

private:
    // The text to show for bytes that follow m_pendingCr.
    QString displayed(const QByteArray& bytes);
    void insertAtEnd(const QByteArray& bytes);
    // Keeps the newest kMaxShownLines lines.
    void dropOldestLines();

    QByteArray m_bytes;
    // The last byte shown was a CR: an LF that comes next belongs to it and adds no break.
    bool m_pendingCr = false;
    // Characters shown since the last line break.
    int m_column = 0;
    // Stays at the end of the text: what it inserts moves it along.
    QTextCursor m_end;
    QPointer<QLineEdit> m_zeile;
    LogScrollBar* m_scrollBar;
};
