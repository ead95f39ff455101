#include "ui/LogGlyphs.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>

namespace {

constexpr char16_t kSymbols[] = {u'\u2400', u'\u240A', u'\u240D'};
const char* const kLetters[] = {"NUL", "LF", "CR"};

int symbolOf(QChar character) {
    for (int i = 0; i < 3; ++i) {
        if (character.unicode() == kSymbols[i])
            return i;
    }
    return -1;
}

bool isControl(char16_t code) {
    return code < 32 || (code >= 127 && code < 160);
}

} // namespace

void LogGlyphs::setFont(const QFont& font, int columnWidth, int lineHeight) {
    m_font = font;
    m_column = columnWidth;
    m_lineHeight = lineHeight;
    m_ascent = QFontMetrics(font).ascent();
    m_small = font;
    m_small.setPixelSize(qMax(4, lineHeight * 9 / 20));
    m_raw = QRawFont::fromFont(font);
    QString latin;
    for (int code = 0; code < 256; ++code)
        latin += QChar(code);
    const QList<quint32> glyphs = m_raw.glyphIndexesForString(latin);
    for (int code = 0; code < 256; ++code)
        m_latin[code] = isControl(static_cast<char16_t>(code)) ? 0 : glyphs.value(code);
}

void LogGlyphs::draw(QPainter& painter, int x, int top, QStringView text) const {
    QList<quint32> glyphs;
    QList<QPointF> positions;
    glyphs.reserve(text.size());
    positions.reserve(text.size());
    const int baseline = top + m_ascent;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t code = text.at(i).unicode();
        const int left = x + static_cast<int>(i) * m_column;
        if (code == u' ' || (code < 256 && isControl(code)))
            continue; // a control byte takes its column and shows nothing
        if (code < 256 && m_latin[code] != 0) {
            glyphs << m_latin[code];
            positions << QPointF(left, baseline);
        } else if (const int symbol = symbolOf(text.at(i)); symbol >= 0) {
            drawSymbol(painter, left, top, symbol);
        } else {
            painter.drawText(left, baseline, QString(text.at(i)));
        }
    }
    if (glyphs.isEmpty())
        return;
    QGlyphRun run;
    run.setRawFont(m_raw);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    painter.drawGlyphRun(QPointF(0, 0), run);
}

void LogGlyphs::drawSymbol(QPainter& painter, int left, int top, int symbol) const {
    const QLatin1StringView letters(kLetters[symbol]);
    const int count = static_cast<int>(letters.size());
    painter.save();
    painter.setFont(m_small);
    const QFontMetrics metrics(m_small);
    // From the top left of the cell down to its bottom right, one letter after the other.
    for (int i = 0; i < count; ++i) {
        const int x = left + i * qMax(1, m_column - metrics.horizontalAdvance(letters.at(0))) /
                                 qMax(1, count - 1);
        const int y =
            top + metrics.ascent() + i * (m_lineHeight - metrics.height()) / qMax(1, count - 1);
        painter.drawText(x, y, QString(letters.at(i)));
    }
    painter.restore();
}
