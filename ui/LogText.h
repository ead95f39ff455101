#pragma once

#include <QByteArray>
#include <QString>
#include <deque>
#include <utility>

// What the traffic log holds and shows, apart from how it is drawn: the bytes as they arrived,
// the lines they show as, and the operator's selection. The painting view and the accessible text
// both read it; neither keeps a copy.
//
// Each byte shows as one Latin-1 character. CR LF ends a line. A lone CR shows as the symbol
// U+240D, a lone LF as U+240A and NUL as U+2400, so a handheld that ends its lines wrongly is seen
// to do so. A CR that is the last byte so far shows as U+240D until the next byte settles it: an
// LF then turns the two into a line end. A line longer than kMaxColumns shows in pieces, and only
// the newest kMaxLines lines are kept.
//
// Lines are addressed by their number since the last clear, which stays the same while older
// lines are dropped. Offsets count the characters of the kept lines from the start of the oldest,
// a line end counting as one ('\n'), as assistive technology reads them.
class LogText {
public:
    struct Place {
        qint64 line = 0;
        int column = 0;
        auto operator<=>(const Place&) const = default;
    };

    // A large but bounded history, its oldest lines dropped first, so a handheld that floods the
    // line for hours cannot grow the tool without bound. A full record download fits.
    static constexpr qsizetype kMaxLines = 40000;
    // A line longer than this is shown broken into pieces, so that no line grows without end.
    static constexpr int kMaxColumns = 512;
    // The exact bytes kept for bytes(): the newest ones, at most this many.
    static constexpr qsizetype kMaxKeptBytes = 4 * 1024 * 1024;

    LogText();

    // Empties the text and forgets the selection.
    void clear();
    // Adds received bytes at the end; costs time in proportion to their number.
    void append(const QByteArray& bytes);

    // The bytes given since the last clear, exactly; of a very long log only the newest megabytes.
    const QByteArray& bytes() const { return m_bytes; }

    // The kept lines: at least one, the last being the line the next text goes to (maybe empty).
    int lineCount() const { return static_cast<int>(m_lines.size()); }
    qint64 firstLine() const { return m_firstLine; }
    qint64 lastLine() const { return m_firstLine + lineCount() - 1; }
    // A kept line by its number, firstLine() to lastLine().
    const QString& line(qint64 number) const { return at(number).text; }
    // The longest line shown since the last clear, in characters.
    int widestLine() const { return m_widestLine; }
    Place end() const { return {lastLine(), static_cast<int>(m_lines.back().text.size())}; }
    // Up to here the shown text is final until the next clear: only a CR still waiting for its
    // LF (shown as U+240D at the very end) may yet change.
    Place settledEnd() const;
    // The kept lines joined by '\n'.
    QString toPlainText() const { return text(0, characterCount()); }

    int characterCount() const { return static_cast<int>(endOffset() - firstOffset()); }
    // How many characters were dropped with the oldest lines since the last clear: offsets plus
    // this count from the last clear and stay the same while lines are dropped.
    qint64 firstOffset() const { return m_lines.front().start; }
    // The offset of a place; a place before the oldest kept line gives 0.
    int offsetOf(Place place) const;
    // The place of an offset, which is clamped to the text.
    Place placeOf(int offset) const;
    // The characters from one offset to another, line ends as '\n'.
    QString text(int from, int to) const;

    // The characters dropped with the oldest lines since the last take, line ends as '\n', while
    // keepDropped(true) asks for them (assistive technology is told what went).
    void keepDropped(bool keep) { m_keepDropped = keep; }
    QString takeDropped() { return std::exchange(m_dropped, QString()); }

    // The selection runs from the anchor to the caret, either way round; it is empty when they
    // are the same. Places are clamped to the text.
    Place anchor() const { return m_anchor; }
    Place caret() const { return m_caret; }
    void select(Place anchor, Place caret);
    void selectAll() { select({m_firstLine, 0}, end()); }
    bool hasSelection() const { return m_anchor != m_caret; }
    // The kept part of the selection; start == end when nothing of it is kept.
    Place selectionStart() const;
    Place selectionEnd() const;
    // The selected characters, line ends as '\n'; the part of it that was dropped is gone.
    QString selectedText() const;

    // The place clamped to the kept text.
    Place clamped(Place place) const;

private:
    struct Line {
        QString text;
        qint64 start = 0; // the offset of its first character since the last clear
    };

    const Line& at(qint64 number) const {
        return m_lines[static_cast<size_t>(number - m_firstLine)];
    }
    qint64 endOffset() const { return m_lines.back().start + m_lines.back().text.size(); }
    void newLine();
    void show(QChar character);
    void dropOldestLines();

    QByteArray m_bytes;
    std::deque<Line> m_lines;
    qint64 m_firstLine = 0;
    int m_widestLine = 0;
    // The last byte was a CR, shown as U+240D at the end of the last line.
    bool m_pendingCr = false;
    // That U+240D began a new piece of a long line.
    bool m_crBeganPiece = false;
    Place m_anchor;
    Place m_caret;
    bool m_keepDropped = false;
    QString m_dropped;
};
