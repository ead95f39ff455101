#pragma once

#include <QFont>
#include <QRawFont>
#include <QStringView>
#include <array>

class QPainter;

// Draws the traffic log's text one character per column of a fixed width, straight from the
// glyphs of its font: no layout, no shaping and no tab stops, which text drawing spends most of
// its time on and the log, a grid of 8-bit characters, has no use for. A character the font has
// no glyph for is drawn by Qt's text drawing, which looks for it in other fonts, in its column all
// the same. The symbols that stand for NUL, a lone LF and a lone CR are drawn as their small
// letters ("NUL", "LF", "CR") stacked across the column, as those symbols look, so that they can
// be told apart whatever fonts the system has.
class LogGlyphs {
public:
    // The font, the width of a column and the height of a line.
    void setFont(const QFont& font, int columnWidth, int lineHeight);
    // Draws the characters with the first one's left edge at x and the line's top at top.
    void draw(QPainter& painter, int x, int top, QStringView text) const;

private:
    void drawSymbol(QPainter& painter, int left, int top, int symbol) const;

    QFont m_font;
    QFont m_small;
    QRawFont m_raw;
    int m_column = 1;
    int m_lineHeight = 1;
    int m_ascent = 0;
    std::array<quint32, 256> m_latin{}; // 0: the font has none
};
