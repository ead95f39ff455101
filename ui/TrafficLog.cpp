#include "ui/TrafficLog.h"

#include "ui/LogScrollBar.h"
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

constexpr qreal kPointSize = 9.75;
// Blank pixels around the text, as a text box leaves them.
constexpr int kMargin = 4;

// a / b rounded down, also for a negative a.
int floorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

TrafficLog::TrafficLog(FramePacer& pacer, QWidget* parent, LogAnnouncer::Listener listener)
    : QAbstractScrollArea(parent), m_announcer(*this, m_text, std::move(listener)), m_pacer(pacer) {
    static const bool accessible = [] {
        QAccessible::installFactory(&TrafficLogAccessible::create);
        return true;
    }();
    Q_UNUSED(accessible)
    setObjectName(QStringLiteral("Ausgabe"));
    setAccessibleName(QStringLiteral("Traffic log"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    // The log paints its whole area itself, background included: Qt then neither fills it first
    // nor paints the widgets behind it.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    m_scrollBar = new LogScrollBar(this);
    setVerticalScrollBar(m_scrollBar);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A scroll area lays itself out again after every change of a scroll bar's range, queued:
    // a wake-up of the window and a layout for each frame that adds a line. The vertical bar is
    // always shown, so its range never changes the layout.
    disconnect(m_scrollBar, &QAbstractSlider::rangeChanged, this, nullptr);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    // Latin text in a fixed-pitch font needs no shaping: the pixels are the same, drawn faster.
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setPointSizeF(kPointSize);
    setFont(font);
    measureFont();
    m_pacer.attach(*this);
    startAfresh();
}

void TrafficLog::measureFont() {
    const QFontMetrics metrics(font());
    m_lineHeight = qMax(1, metrics.lineSpacing());
    m_charWidth = qMax(1, metrics.horizontalAdvance(QLatin1Char('M')));
    m_glyphs.setFont(font(), m_charWidth, m_lineHeight);
}

void TrafficLog::startAfresh() {
    m_announcer.clearing();
    m_text.clear();
    m_announcer.cleared();
    m_appended = false;
    m_selecting = false;
    m_appending = true;
    updateScrollRanges();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    m_appending = false;
    m_shownSettled = m_text.settledEnd();
    showAll();
}

void TrafficLog::showAll() {
    // Text appended since the last frame is still drawn by the next one, after its scroll.
    m_shownTop = topLine();
    m_shownInkWidth = inkWidth();
    viewport()->update();
}

qint64 TrafficLog::topLine() const {
    return m_text.firstLine() + verticalScrollBar()->value();
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
    horizontal->setRange(0, qMax(0, 2 * kMargin + m_text.widestLine() * m_charWidth - width));
    horizontal->setPageStep(width);
    horizontal->setSingleStep(m_charWidth);
}

void TrafficLog::showEndColumn() {
    QScrollBar* horizontal = horizontalScrollBar();
    const int end = m_text.end().column * m_charWidth;
    const int width = viewport()->width() - 2 * kMargin;
    if (end < horizontal->value())
        horizontal->setValue(end);
    else if (end + m_charWidth > horizontal->value() + width)
        horizontal->setValue(end + m_charWidth - width);
}

int TrafficLog::inkWidth() const {
    const int width = viewport()->width();
    if (m_text.hasSelection())
        return width; // a marked line break reaches past the end of its line
    int longest = 0;
    const qint64 last = qMin(m_text.lastLine(), topLine() + visibleRows());
    for (qint64 number = topLine(); number <= last; ++number)
        longest = qMax(longest, static_cast<int>(m_text.line(number).size()));
    // One column more, for a glyph that reaches past its cell.
    return qBound(0, kMargin + (longest + 1) * m_charWidth - horizontalScrollBar()->value(), width);
}

QRect TrafficLog::lineRect(qint64 line, int fromColumn, int toColumn) const {
    const qint64 row = line - topLine();
    if (row < 0 || row > visibleRows())
        return QRect();
    // One column more, for a glyph that reaches past its cell.
    const int left = kMargin + fromColumn * m_charWidth - horizontalScrollBar()->value();
    const int right = left + (toColumn - fromColumn + 1) * m_charWidth;
    const int top = kMargin + static_cast<int>(row) * m_lineHeight;
    return QRect(QPoint(qMax(0, left), top),
                 QPoint(qMin(right, viewport()->width()) - 1, top + m_lineHeight - 1));
}

QRect TrafficLog::characterRect(Place place) const {
    const qint64 row = place.line - topLine();
    return QRect(kMargin + place.column * m_charWidth - horizontalScrollBar()->value(),
                 kMargin + static_cast<int>(std::clamp<qint64>(row, -1, visibleRows() + 1)) *
                               m_lineHeight,
                 m_charWidth, m_lineHeight);
}

void TrafficLog::showChanges() {
    const int columnScroll = horizontalScrollBar()->value();
    m_appending = true;
    m_scrollBar->hold();
    updateScrollRanges();
    // The end comes into view.
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    showEndColumn();
    m_scrollBar->release();
    m_appending = false;

    const qint64 scrolled = topLine() - m_shownTop;
    if (horizontalScrollBar()->value() != columnScroll || scrolled < 0) {
        showAll();
        return;
    }
    // Right of the longest line shown, before or after, is background that needs no moving or
    // drawing.
    const int inkWidth = this->inkWidth();
    const QRect inked(0, 0, qMax(m_shownInkWidth, inkWidth), viewport()->height());
    if (scrolled > visibleRows()) {
        // Every line in view is new.
        viewport()->update(inked);
    } else {
        // The lines already shown move up on the screen as they are, by all the lines added
        // since they were shown at once; only the text added since is drawn: from a column
        // early, for a glyph that reaches back, to its end, over a CR symbol that was shown at
        // the end and may have turned into a line end.
        if (scrolled > 0) {
            viewport()->scroll(0, -static_cast<int>(scrolled) * m_lineHeight, inked);
            // The blank margin above the first line took the foot of a line that moved up.
            viewport()->update(QRect(0, 0, inked.width(), kMargin));
        }
        // A full log may have dropped the line since; it is out of view above.
        const Place from = std::max(m_shownSettled, Place{m_text.firstLine(), 0});
        const qint64 first = from.line;
        viewport()->update(
            lineRect(first, qMax(0, from.column - 1),
                     qMax(static_cast<int>(m_text.line(first).size()), from.column + 1)));
        for (qint64 line = first + 1; line <= m_text.lastLine(); ++line)
            viewport()->update(lineRect(line, 0, static_cast<int>(m_text.line(line).size())));
    }
    m_shownSettled = m_text.settledEnd();
    m_shownTop = topLine();
    m_shownInkWidth = inkWidth;
}

void TrafficLog::clearLog() {
    startAfresh();
    m_pacer.showNow();
}

void TrafficLog::replaceLog(const QByteArray& text) {
    startAfresh();
    m_text.append(text);
    m_announcer.appended();
    m_appended = true;
    m_pacer.showNow();
}

void TrafficLog::appendLog(const QByteArray& text) {
    m_text.append(text);
    m_announcer.appended();
    m_appended = true;
    m_pacer.request();
}

void TrafficLog::setZeile(const QByteArray& line) {
    m_pendingZeile = line;
    m_pacer.request();
}

void TrafficLog::applyPending() {
    if (m_appended) {
        m_appended = false;
        showChanges();
    }
    if (m_pendingZeile) {
        if (m_zeile)
            m_zeile->setText(QString::fromLatin1(*m_pendingZeile));
        m_pendingZeile.reset();
    }
}

void TrafficLog::select(Place anchor, Place caret) {
    m_text.select(anchor, caret);
    m_announcer.selectionChanged();
    showAll();
}

void TrafficLog::selectAll() {
    m_text.selectAll();
    m_announcer.selectionChanged();
    showAll();
}

void TrafficLog::copy() const {
    if (m_text.hasSelection())
        QApplication::clipboard()->setText(selectedText());
}

void TrafficLog::bringIntoView(Place place) {
    const Place kept = m_text.clamped(place);
    const qint64 row = kept.line - topLine();
    if (row < 0 || row >= visibleRows())
        verticalScrollBar()->setValue(static_cast<int>(kept.line - m_text.firstLine()));
    const int x = kept.column * m_charWidth;
    QScrollBar* horizontal = horizontalScrollBar();
    if (x < horizontal->value() || x + m_charWidth > horizontal->value() + viewport()->width())
        horizontal->setValue(x);
}

TrafficLog::Place TrafficLog::placeAt(const QPoint& point) const {
    const qint64 number = topLine() + floorDiv(point.y() - kMargin, m_lineHeight);
    const int x = point.x() + horizontalScrollBar()->value() - kMargin;
    const int column = floorDiv(x + m_charWidth / 2, m_charWidth);
    if (number > m_text.lastLine())
        return m_text.end();
    return m_text.clamped(Place{number, column});
}

void TrafficLog::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.setFont(font());
    const QPalette& colours = palette();
    // Only the rows the parts asked for reach into: a frame asks for a strip at the top and the
    // new lines at the bottom, and the rows between them are on the screen already.
    std::vector<int> rows;
    for (const QRect& part : event->region()) {
        painter.fillRect(part, colours.brush(QPalette::Base));
        const int last = floorDiv(part.bottom() - kMargin, m_lineHeight);
        for (int row = qMax(0, floorDiv(part.top() - kMargin, m_lineHeight)); row <= last; ++row)
            rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    const int columnScroll = horizontalScrollBar()->value();
    // Every line is drawn from the first column in view, however little of it is asked for, so
    // that a part painted alone shows the same pixels as the whole view painted at once (a glyph
    // may reach into the next column).
    const int firstColumn = qMax(0, (columnScroll - kMargin) / m_charWidth);
    const int columns = viewport()->width() / m_charWidth + 2;
    const int x = kMargin + firstColumn * m_charWidth - columnScroll;
    const Place from = m_text.selectionStart();
    const Place to = m_text.selectionEnd();
    const qint64 top = topLine();
    for (const int row : rows) {
        const qint64 number = top + row;
        if (number > m_text.lastLine())
            break;
        const QString& text = m_text.line(number);
        const QStringView shown = QStringView(text).mid(qMin(firstColumn, text.size()), columns);
        const int y = kMargin + row * m_lineHeight;
        painter.setPen(colours.color(QPalette::Text));
        if (from == to || number < from.line || number > to.line) {
            m_glyphs.draw(painter, x, y, shown);
            continue;
        }
        // A selection that goes on past the end of the line marks its line break too.
        const int start = number == from.line ? from.column : 0;
        const int end = number == to.line ? to.column : static_cast<int>(text.size()) + 1;
        const QRect marked(kMargin + start * m_charWidth - columnScroll, y,
                           (end - start) * m_charWidth, m_lineHeight);
        painter.fillRect(marked, colours.brush(QPalette::Highlight));
        m_glyphs.draw(painter, x, y, shown);
        painter.save();
        painter.setClipRect(marked, Qt::IntersectClip);
        painter.setPen(colours.color(QPalette::HighlightedText));
        m_glyphs.draw(painter, x, y, shown);
        painter.restore();
    }
}

void TrafficLog::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRanges();
    showAll();
}

void TrafficLog::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        measureFont();
        updateScrollRanges();
        showAll();
    }
}

void TrafficLog::scrollContentsBy(int dx, int dy) {
    // An append works out itself what moves on the screen; this is the operator scrolling.
    if (m_appending)
        return;
    viewport()->scroll(dx, dy * m_lineHeight);
    m_shownTop = topLine();
    m_shownInkWidth = viewport()->width();
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
    const Place place = placeAt(event->position().toPoint());
    m_selecting = true;
    select(event->modifiers() & Qt::ShiftModifier ? m_text.anchor() : place, place);
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
    select(m_text.anchor(), placeAt(point));
}

void TrafficLog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_selecting)
        return;
    m_selecting = false;
    QClipboard* clipboard = QApplication::clipboard();
    if (m_text.hasSelection() && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
}

void TrafficLog::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    // The word under the pointer: the characters between two blanks.
    const Place place = placeAt(event->position().toPoint());
    const QString& text = m_text.line(place.line);
    int start = place.column;
    int end = place.column;
    while (start > 0 && !text[start - 1].isSpace())
        --start;
    while (end < text.size() && !text[end].isSpace())
        ++end;
    select(Place{place.line, start}, Place{place.line, end});
}

void TrafficLog::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copyAction = menu.addAction(tr("&Copy"), this, &TrafficLog::copy);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(m_text.hasSelection());
    menu.addSeparator();
    QAction* selectAllAction = menu.addAction(tr("Select All"), this, &TrafficLog::selectAll);
    selectAllAction->setShortcut(QKeySequence::SelectAll);
    menu.exec(event->globalPos());
}
