#include "ui/LogText.h"

#include <algorithm>

namespace {

constexpr char16_t kNulSymbol = u'\u2400';
constexpr char16_t kLfSymbol = u'\u240A';
constexpr char16_t kCrSymbol = u'\u240D';

} // namespace

LogText::LogText() {
    clear();
}

void LogText::clear() {
    m_bytes.clear();
    m_lines.assign(1, Line());
    m_firstLine = 0;
    m_widestLine = 0;
    m_pendingCr = false;
    m_crBeganPiece = false;
    m_anchor = m_caret = Place();
    m_dropped.clear();
}

void LogText::newLine() {
    const Line& last = m_lines.back();
    m_widestLine = std::max(m_widestLine, static_cast<int>(last.text.size()));
    m_lines.push_back(Line{QString(), last.start + last.text.size() + 1});
}

void LogText::show(QChar character) {
    if (m_lines.back().text.size() == kMaxColumns)
        newLine();
    m_lines.back().text.append(character);
}

void LogText::append(const QByteArray& bytes) {
    m_bytes += bytes;
    if (m_bytes.size() > kMaxKeptBytes)
        m_bytes.remove(0, m_bytes.size() - kMaxKeptBytes / 2);

    for (const char byte : bytes) {
        if (m_pendingCr) {
            m_pendingCr = false;
            if (byte == '\n') {
                // The CR shown as a symbol and this LF are a line end: the symbol goes, and a
                // piece it began is already the line after the end.
                m_lines.back().text.chop(1);
                if (!m_crBeganPiece)
                    newLine();
                continue;
            }
        }
        switch (byte) {
        case '\r':
            m_crBeganPiece = m_lines.back().text.size() == kMaxColumns;
            show(QChar(kCrSymbol));
            m_pendingCr = true;
            break;
        case '\n':
            show(QChar(kLfSymbol));
            break;
        case '\0':
            show(QChar(kNulSymbol));
            break;
        default:
            show(QChar(QLatin1Char(byte)));
        }
    }
    m_widestLine = std::max(m_widestLine, static_cast<int>(m_lines.back().text.size()));
    dropOldestLines();
}

void LogText::dropOldestLines() {
    while (m_lines.size() > static_cast<size_t>(kMaxLines)) {
        if (m_keepDropped) {
            m_dropped += m_lines.front().text;
            m_dropped += QLatin1Char('\n');
        }
        m_lines.pop_front();
        ++m_firstLine;
    }
}

LogText::Place LogText::settledEnd() const {
    Place place = end();
    if (m_pendingCr && place.column > 0)
        --place.column;
    return place;
}

LogText::Place LogText::clamped(Place place) const {
    if (place.line < m_firstLine)
        return Place{m_firstLine, 0};
    if (place.line > lastLine())
        return end();
    return Place{place.line,
                 std::clamp(place.column, 0, static_cast<int>(line(place.line).size()))};
}

int LogText::offsetOf(Place place) const {
    const Place kept = clamped(place);
    return static_cast<int>(at(kept.line).start + kept.column - m_lines.front().start);
}

LogText::Place LogText::placeOf(int offset) const {
    const qint64 wanted = m_lines.front().start + std::clamp(offset, 0, characterCount());
    // The last line that starts at or before the offset.
    const auto after =
        std::upper_bound(m_lines.begin(), m_lines.end(), wanted,
                         [](qint64 value, const Line& line) { return value < line.start; });
    const auto index = std::distance(m_lines.begin(), after) - 1;
    return Place{m_firstLine + index,
                 static_cast<int>(wanted - m_lines[static_cast<size_t>(index)].start)};
}

QString LogText::text(int from, int to) const {
    const Place first = placeOf(from);
    const Place last = placeOf(to);
    QString shown;
    for (qint64 number = first.line; number <= last.line && first < last; ++number) {
        const QString& each = line(number);
        const int start = number == first.line ? first.column : 0;
        const int stop = number == last.line ? last.column : static_cast<int>(each.size());
        shown += QStringView(each).mid(start, stop - start);
        if (number != last.line)
            shown += QLatin1Char('\n');
    }
    return shown;
}

void LogText::select(Place anchor, Place caret) {
    m_anchor = clamped(anchor);
    m_caret = clamped(caret);
}

LogText::Place LogText::selectionStart() const {
    return std::max(std::min(m_anchor, m_caret), Place{m_firstLine, 0});
}

LogText::Place LogText::selectionEnd() const {
    return std::max(std::max(m_anchor, m_caret), selectionStart());
}

QString LogText::selectedText() const {
    return text(offsetOf(selectionStart()), offsetOf(selectionEnd()));
}
