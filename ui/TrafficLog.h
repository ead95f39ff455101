#pragma once

#include "link/LinkView.h"
#include "ui/FramePacer.h"
#include "ui/LogAnnouncer.h"
#include "ui/LogGlyphs.h"
#include "ui/LogText.h"

#include <QAbstractScrollArea>
#include <QByteArray>
#include <QLineEdit>
#include <QPointer>
#include <QString>
#include <optional>

class LogScrollBar;

// The traffic log `Ausgabe`: every received byte, read-only, in a fixed-pitch font, as LogText
// shows it. It also feeds the hidden last-line field `Zeile`.
//
// The log draws its lines itself, as a terminal does: appending costs time in proportion to what
// is appended, however long the log already is. Appended text and `Zeile` are shown at the next
// frame of the window's FramePacer (or sooner, when a handler is about to block): the end comes
// into view, the lines already shown move up on the screen by all the lines added since, and only
// the new text is drawn. Clearing and replacing the log are shown at once. The operator can scroll,
// select with the mouse and copy (Ctrl+C, the context menu). Assistive technology reads it as a
// read-only text named "Traffic log" and is told what was added and what went.
class TrafficLog final : public QAbstractScrollArea, public LinkView, public FramePacer::Client {
    Q_OBJECT

public:
    // Shows its changes at the frames of `pacer`, which paints the window the log is in. Assistive
    // technology hears of changes through Qt unless another listener is given (a test).
    explicit TrafficLog(FramePacer& pacer, QWidget* parent = nullptr,
                        LogAnnouncer::Listener listener = LogAnnouncer::assistiveTechnology());

    // The field that setZeile writes; the log does not own it.
    void setZeileField(QLineEdit* zeile) { m_zeile = zeile; }

    void clearLog() override;
    void replaceLog(const QByteArray& text) override;
    void appendLog(const QByteArray& text) override;
    void setZeile(const QByteArray& line) override;
    void applyPending() override;

    const LogText& content() const { return m_text; }
    // The bytes the log holds, exactly as they were given to it since the last clear or replace;
    // of a very long log only the newest megabytes.
    const QByteArray& text() const { return m_text.bytes(); }
    // What the log shows: its lines, oldest first, joined by '\n'.
    QString toPlainText() const { return m_text.toPlainText(); }
    int lineCount() const { return m_text.lineCount(); }
    // A kept line, 0 the oldest; the last one is the line still growing.
    const QString& line(int index) const { return m_text.line(m_text.firstLine() + index); }

    // The text the operator has selected, lines joined by '\n'; empty without a selection.
    QString selectedText() const { return m_text.selectedText(); }
    void selectAll();
    // Selects from one place to another, as a drag of the mouse does.
    void select(LogText::Place anchor, LogText::Place caret);
    // Puts the selected text on the clipboard.
    void copy() const;

    // Where a character shows in the viewport, and the character at a point of it.
    QRect characterRect(LogText::Place place) const;
    LogText::Place placeAt(const QPoint& point) const;
    // Scrolls so that the place is in view.
    void bringIntoView(LogText::Place place);

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
    using Place = LogText::Place;

    // Empties the log; the view goes to the top.
    void startAfresh();
    // Brings the end into view and marks for painting what changed since it was last shown.
    void showChanges();
    // Everything in view is painted afresh.
    void showAll();
    void measureFont();
    // Sets both scroll bars' ranges from the text and the viewport's size.
    void updateScrollRanges();
    // Scrolls horizontally just far enough that the end of the last line is in view.
    void showEndColumn();

    qint64 topLine() const;
    int visibleRows() const;
    // From the left edge of the viewport, the pixels that the lines in view may have drawn on.
    int inkWidth() const;
    // The part of the viewport where a line shows from one column to another.
    QRect lineRect(qint64 line, int fromColumn, int toColumn) const;

    LogText m_text;
    LogAnnouncer m_announcer;
    FramePacer& m_pacer;
    // Text appended, or a line for `Zeile`, that the screen does not show yet.
    bool m_appended = false;
    std::optional<QByteArray> m_pendingZeile;
    // What the screen was last brought to show: the settled end of the text, the top line, and
    // the pixels the lines then in view had drawn on.
    Place m_shownSettled;
    qint64 m_shownTop = 0;
    int m_shownInkWidth = 0;
    bool m_selecting = false;
    // While text is appended the view is scrolled by the append itself, not by the scroll bars.
    bool m_appending = false;
    int m_lineHeight = 1;
    int m_charWidth = 1;
    LogGlyphs m_glyphs;
    QPointer<QLineEdit> m_zeile;
    LogScrollBar* m_scrollBar;
};
