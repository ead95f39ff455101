#include "ui/TrafficLog.h"

#include "ui/LogScrollBar.h"
#include "ui/PaintNow.h"
#include "ui/TrafficLogAccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace {

constexpr char16_t kNulSymbol = u'\u2400';
constexpr qreal kPointSize = 9.75;
// The log keeps a large but bounded history, its oldest lines dropped first, so a handheld that
// floods the line for hours cannot grow the tool without bound. A full record download fits.
constexpr size_t kMaxShownLines = 40000;
// A line longer than this is shown broken into pieces, so that no line grows without end.
constexpr int kMaxShownColumns = 512;
// The exact bytes kept for text(): the newest ones, at most this many.
constexpr qsizetype kMaxKeptBytes = 4 * 1024 * 1024;
// Blank pixels around the text, as a text box leaves them.
constexpr int kMargin = 4;

// a / b rounded down, also for a negative a.
int floorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

TrafficLog::TrafficLog(QWidget* parent) : QAbstractScrollArea(parent) {
    static const bool accessible = [] {
        QAccessible::installFactory(&TrafficLogAccessible::create);
        return true;
    }();
    Q_UNUSED(accessible)
    setObjectName(QStringLiteral("Ausgabe"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    // The log paints its whole area itself, background included: Qt then neither fills it first
    // nor paints the widgets behind it.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    m_scrollBar = new LogScrollBar(this);
    setVerticalScrollBar(m_scrollBar);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    // Latin text in a fixed-pitch font needs no shaping: the pixels are the same, drawn faster.
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setPointSizeF(kPointSize);
    setFont(font);
    measureFont();
    startAfresh();
}

void TrafficLog::measureFont() {
    const QFontMetrics metrics(font());
    m_lineHeight = qMax(1, metrics.lineSpacing());
    m_charWidth = qMax(1, metrics.horizontalAdvance(QLatin1Char('M')));
    m_ascent = metrics.ascent();
}

void TrafficLog::startAfresh() {
    m_bytes.clear();
    m_lines.assign(1, QString());
    m_firstLine = 0;
    m_pendingCr = false;
    m_widestLine = 0;
    m_anchor = m_caret = Place();
    m_selecting = false;
    m_appending = true;
    updateScrollRanges();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    m_appending = false;
    viewport()->update();
}

void TrafficLog::addShown(const QByteArray& bytes) {
    QString* last = &m_lines.back();
    const auto newLine = [&] {
        m_widestLine = std::max(m_widestLine, static_cast<int>(last->size()));
        last = &m_lines.emplace_back();
    };
    for (const char byte : bytes) {
        const bool afterCr = m_pendingCr;
        m_pendingCr = false;
        if (byte == '\r' || (byte == '\n' && !afterCr)) {
            newLine();
            m_pendingCr = byte == '\r';
            continue;
        }
        if (byte == '\n')
            continue;
        if (last->size() == kMaxShownColumns)
            newLine();
        last->append(byte == '\0' ? QChar(kNulSymbol) : QChar(QLatin1Char(byte)));
    }
    m_widestLine = std::max(m_widestLine, static_cast<int>(last->size()));
}

void TrafficLog::dropOldestLines() {
    while (m_lines.size() > kMaxShownLines) {
        m_lines.pop_front();
        ++m_firstLine;
    }
}

qint64 TrafficLog::topLine() const {
    return m_firstLine + verticalScrollBar()->value();
}

int TrafficLog::visibleRows() const {
    return qMax(1, (viewport()->height() - kMargin) / m_lineHeight);
}

void TrafficLog::updateScrollRanges() {
    const int rows = visibleRows();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, qMax(0, lineCount() - rows));
    vertical->setPageStep(rows);
    vertical->setSingleStep(1);
    const int width = viewport()->width();
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, qMax(0, 2 * kMargin + m_widestLine * m_charWidth - width));
    horizontal->setPageStep(width);
    horizontal->setSingleStep(m_charWidth);
}

void TrafficLog::showEndColumn() {
    QScrollBar* horizontal = horizontalScrollBar();
    const int end = static_cast<int>(m_lines.back().size()) * m_charWidth;
    const int width = viewport()->width() - 2 * kMargin;
    if (end < horizontal->value())
        horizontal->setValue(end);
    else if (end + m_charWidth > horizontal->value() + width)
        horizontal->setValue(end + m_charWidth - width);
}

int TrafficLog::inkWidth() const {
    const int width = viewport()->width();
    if (hasSelection())
        return width; // a marked line break reaches past the end of its line
    int longest = 0;
    const qint64 last = qMin(lastLine(), topLine() + visibleRows());
    for (qint64 number = topLine(); number <= last; ++number)
        longest =
            qMax(longest, static_cast<int>(line(static_cast<int>(number - m_firstLine)).size()));
    // One column more, for a glyph that reaches past its cell.
    return qBound(0, kMargin + (longest + 1) * m_charWidth - horizontalScrollBar()->value(), width);
}

QRect TrafficLog::lineRect(qint64 line, int fromColumn) const {
    const qint64 row = line - topLine();
    if (row < 0 || row > visibleRows())
        return QRect();
    const int left = kMargin + fromColumn * m_charWidth - horizontalScrollBar()->value();
    const int top = kMargin + static_cast<int>(row) * m_lineHeight;
    return QRect(QPoint(qMax(0, left), top), QPoint(viewport()->width(), top + m_lineHeight - 1));
}

void TrafficLog::insertAtEnd(const QByteArray& bytes) {
    m_bytes += bytes;
    if (m_bytes.size() > kMaxKeptBytes)
        m_bytes.remove(0, m_bytes.size() - kMaxKeptBytes / 2);

    const int oldInkWidth = inkWidth();
    const qint64 oldTop = topLine();
    const qint64 oldLast = lastLine();
    const int oldEnd = static_cast<int>(m_lines.back().size());
    const int oldColumnScroll = horizontalScrollBar()->value();
    m_appending = true;
    m_scrollBar->hold();
    addShown(bytes);
    dropOldestLines();
    updateScrollRanges();
    // The end comes into view; the repaint below shows it before the handler that called goes
    // on, perhaps into a pause.
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    showEndColumn();
    m_scrollBar->release();
    m_appending = false;

    const qint64 scrolled = topLine() - oldTop;
    if (horizontalScrollBar()->value() != oldColumnScroll || scrolled < 0 ||
        scrolled > visibleRows()) {
        viewport()->update();
    } else {
        // The lines already shown move up on the screen as they are; only the text added to the
        // old last line (a column early, for a glyph that reaches back) and the new lines are
        // drawn. Right of the longest line shown, before or after, is background that needs no
        // moving.
        if (scrolled > 0) {
            const QRect moved(0, 0, qMax(oldInkWidth, inkWidth()), viewport()->height());
            viewport()->scroll(0, -static_cast<int>(scrolled) * m_lineHeight, moved);
        }
        viewport()->update(lineRect(oldLast, qMax(0, oldEnd - 1)));
        for (qint64 line = oldLast + 1; line <= lastLine(); ++line)
            viewport()->update(lineRect(line, 0));
    }
    PaintNow::changes(*this);
}

void TrafficLog::clearLog() {
    startAfresh();
    PaintNow::changes(*this);
}

void TrafficLog::replaceLog(const QByteArray& text) {
    startAfresh();
    insertAtEnd(text);
}

void TrafficLog::appendLog(const QByteArray& text) {
    insertAtEnd(text);
}

void TrafficLog::setZeile(const QByteArray& line) {
    if (m_zeile)
        m_zeile->setText(QString::fromLatin1(line));
}

QString TrafficLog::toPlainText() const {
    QString all;
    for (const QString& line : m_lines) {
        if (&line != &m_lines.front())
            all += QLatin1Char('\n');
        all += line;
    }
    return all;
}

QString TrafficLog::selectedText() const {
    const Place from = std::max(std::min(m_anchor, m_caret), Place{m_firstLine, 0});
    const Place to = std::max(m_anchor, m_caret);
    QString selected;
    for (qint64 number = from.line; number <= to.line && from < to; ++number) {
        const QString& text = line(static_cast<int>(number - m_firstLine));
        const qsizetype start = number == from.line ? qMin<qsizetype>(from.column, text.size()) : 0;
        const qsizetype end =
            number == to.line ? qMin<qsizetype>(to.column, text.size()) : text.size();
        selected += text.mid(start, end - start);
        if (number != to.line)
            selected += QLatin1Char('\n');
    }
    return selected;
}

void TrafficLog::selectAll() {
    m_anchor = Place{m_firstLine, 0};
    m_caret = Place{lastLine(), static_cast<int>(m_lines.back().size())};
    viewport()->update();
}

void TrafficLog::copy() const {
    if (hasSelection())
        QApplication::clipboard()->setText(selectedText());
}

TrafficLog::Place TrafficLog::placeAt(const QPoint& point) const {
    const qint64 number = topLine() + floorDiv(point.y() - kMargin, m_lineHeight);
    if (number < m_firstLine)
        return Place{m_firstLine, 0};
    if (number > lastLine())
        return Place{lastLine(), static_cast<int>(m_lines.back().size())};
    const int x = point.x() + horizontalScrollBar()->value() - kMargin;
    const int column = floorDiv(x + m_charWidth / 2, m_charWidth);
    const int length = static_cast<int>(line(static_cast<int>(number - m_firstLine)).size());
    return Place{number, std::clamp(column, 0, length)};
}

void TrafficLog::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.setFont(font());
    const QPalette& colours = palette();
    const QRect area = event->rect();
    painter.fillRect(area, colours.brush(QPalette::Base));
    const int columnScroll = horizontalScrollBar()->value();
    // Every line is drawn from the first column in view, however little of it is asked for, so
    // that a part painted alone shows the same pixels as the whole view painted at once.
    const int firstColumn = qMax(0, (columnScroll - kMargin) / m_charWidth);
    const int columns = viewport()->width() / m_charWidth + 2;
    const int x = kMargin + firstColumn * m_charWidth - columnScroll;
    const Place from = std::min(m_anchor, m_caret);
    const Place to = std::max(m_anchor, m_caret);
    const qint64 top = topLine();
    const int lastRow = floorDiv(area.bottom() - kMargin, m_lineHeight);
    for (int row = qMax(0, floorDiv(area.top() - kMargin, m_lineHeight)); row <= lastRow; ++row) {
        const qint64 number = top + row;
        if (number > lastLine())
            break;
        const QString& text = line(static_cast<int>(number - m_firstLine));
        const QString shown = text.mid(firstColumn, columns);
        const int y = kMargin + row * m_lineHeight;
        painter.setPen(colours.color(QPalette::Text));
        if (from == to || number < from.line || number > to.line) {
            painter.drawText(x, y + m_ascent, shown);
            continue;
        }
        // A selection that goes on past the end of the line marks its line break too.
        const int start = number == from.line ? from.column : 0;
        const int end = number == to.line ? to.column : static_cast<int>(text.size()) + 1;
        const QRect marked(kMargin + start * m_charWidth - columnScroll, y,
                           (end - start) * m_charWidth, m_lineHeight);
        painter.fillRect(marked, colours.brush(QPalette::Highlight));
        painter.drawText(x, y + m_ascent, shown);
        painter.save();
        painter.setClipRect(marked, Qt::IntersectClip);
        painter.setPen(colours.color(QPalette::HighlightedText));
        painter.drawText(x, y + m_ascent, shown);
        painter.restore();
    }
}

void TrafficLog::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRanges();
}

void TrafficLog::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        measureFont();
        updateScrollRanges();
        viewport()->update();
    }
}

void TrafficLog::scrollContentsBy(int dx, int dy) {
    // An append works out itself what moves on the screen; this is the operator scrolling.
    if (!m_appending)
        viewport()->scroll(dx, dy * m_lineHeight);
}

void TrafficLog::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy) {
        copy();
    } else if (event == QKeySequence::SelectAll) {
        selectAll();
    } else if (event == QKeySequence::MoveToStartOfDocument) {
        verticalScrollBar()->setValue(0);
    } else if (event == QKeySequence::MoveToEndOfDocument) {
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    } else {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TrafficLog::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    m_caret = placeAt(event->position().toPoint());
    if (!(event->modifiers() & Qt::ShiftModifier))
        m_anchor = m_caret;
    m_selecting = true;
    viewport()->update();
}

void TrafficLog::mouseMoveEvent(QMouseEvent* event) {
    if (!m_selecting)
        return;
    // Dragging past an edge scrolls that way.
    const QPoint point = event->position().toPoint();
    QScrollBar* vertical = verticalScrollBar();
    if (point.y() < 0)
        vertical->setValue(vertical->value() - 1);
    else if (point.y() > viewport()->height())
        vertical->setValue(vertical->value() + 1);
    QScrollBar* horizontal = horizontalScrollBar();
    if (point.x() < 0)
        horizontal->setValue(horizontal->value() - m_charWidth);
    else if (point.x() > viewport()->width())
        horizontal->setValue(horizontal->value() + m_charWidth);
    m_caret = placeAt(point);
    viewport()->update();
}

void TrafficLog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_selecting)
        return;
    m_selecting = false;
    QClipboard* clipboard = QApplication::clipboard();
    if (hasSelection() && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
}

void TrafficLog::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    // The word under the pointer: the characters between two blanks.
    const Place place = placeAt(event->position().toPoint());
    const QString& text = line(static_cast<int>(place.line - m_firstLine));
    int start = place.column;
    int end = place.column;
    while (start > 0 && !text[start - 1].isSpace())
        --start;
    while (end < text.size() && !text[end].isSpace())
        ++end;
    m_anchor = Place{place.line, start};
    m_caret = Place{place.line, end};
    viewport()->update();
}

void TrafficLog::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copyAction = menu.addAction(tr("&Copy"), this, &TrafficLog::copy);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(hasSelection());
    menu.addSeparator();
    QAction* selectAllAction = menu.addAction(tr("Select All"), this, &TrafficLog::selectAll);
    selectAllAction->setShortcut(QKeySequence::SelectAll);
    menu.exec(event->globalPos());
}
