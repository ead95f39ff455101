#pragma once

#include "link/LinkView.h"

#include <QAbstractScrollArea>
#include <QByteArray>
#include <QLineEdit>
#include <QPointer>
#include <QString>
#include <deque>

class LogScrollBar;

// The traffic log `Ausgabe`: every received byte as one Latin-1 character, read-only, in a
// fixed-pitch font. It also feeds the hidden last-line field `Zeile`.
//
// A line end shows as one line break, whether it came as CR LF, a lone CR or a lone LF, also
// when the CR and the LF of a pair arrive in two appends. A NUL byte shows as the symbol U+2400.
// A very long line is shown in pieces, and only the newest lines are kept.
//
// The log keeps its lines in a plain list and draws them itself, as a terminal does: appending
// costs time in proportion to what is appended, however long the log already is, and paints
// before it returns only what changed: the new text, and the lines the view scrolls up, which are
// moved on the screen instead of being drawn again. The operator can scroll, select with the
// mouse and copy (Ctrl+C, the context menu); every append brings the end into view.
class TrafficLog final : public QAbstractScrollArea, public LinkView {
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

    // What the log shows: its lines, oldest first, joined by '\n'.
    QString toPlainText() const;
    // The lines shown and kept (at least one: the line the next text goes to, perhaps empty).
    int lineCount() const { return static_cast<int>(m_lines.size()); }
    // A kept line, 0 the oldest; the last one is the line still growing.
    const QString& line(int index) const { return m_lines[static_cast<size_t>(index)]; }

    // The text the operator has selected, lines joined by '\n'; empty without a selection.
    QString selectedText() const;
    void selectAll();
    // Puts the selected text on the clipboard.
    void copy() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // A place in the text: the line's number since the last clear (not its index among the
    // kept lines, which shifts as the oldest are dropped) and a column in it.
    struct Place {
        qint64 line = 0;
        int column = 0;
        auto operator<=>(const Place&) const = default;
    };

    // Empties the log and forgets the selection; the view goes to the top.
    void startAfresh();
    // Appends, brings the end into view and paints what changed.
    void insertAtEnd(const QByteArray& bytes);
    // Adds the bytes to the shown lines, as they show after m_pendingCr.
    void addShown(const QByteArray& bytes);
    // Keeps the newest kMaxShownLines lines.
    void dropOldestLines();
    void measureFont();
    // Sets both scroll bars' ranges from the text and the viewport's size.
    void updateScrollRanges();
    // Scrolls horizontally just far enough that the end of the last line is in view.
    void showEndColumn();

    qint64 lastLine() const { return m_firstLine + lineCount() - 1; }
    qint64 topLine() const;
    int visibleRows() const;
    // From the left edge of the viewport, the pixels that the lines in view may have drawn on.
    int inkWidth() const;
    // The part of the viewport where a line shows, from a column on to the right edge.
    QRect lineRect(qint64 line, int fromColumn) const;
    Place placeAt(const QPoint& point) const;
    bool hasSelection() const { return m_anchor != m_caret; }

    QByteArray m_bytes;
    // The shown lines, oldest first; never empty.
    std::deque<QString> m_lines;
    // The number of m_lines.front() since the last clear.
    qint64 m_firstLine = 0;
    // The last byte shown was a CR: an LF that comes next belongs to it and adds no break.
    bool m_pendingCr = false;
    // The longest line shown since the last clear, in characters.
    int m_widestLine = 0;
    // The selection runs from the anchor to the caret, either way round.
    Place m_anchor;
    Place m_caret;
    bool m_selecting = false;
    // While text is appended the view is scrolled by the append itself, not by the scroll bars.
    bool m_appending = false;
    int m_lineHeight = 1;
    int m_charWidth = 1;
    int m_ascent = 0;
    QPointer<QLineEdit> m_zeile;
    LogScrollBar* m_scrollBar;
};
