#include "ui/TrafficLogAccessible.h"

#include "ui/TrafficLog.h"

TrafficLogAccessible::TrafficLogAccessible(TrafficLog* log)
    : QAccessibleWidget(log, QAccessible::EditableText) {}

TrafficLog* TrafficLogAccessible::log() const {
    return static_cast<TrafficLog*>(widget());
}

const LogText& TrafficLogAccessible::content() const {
    return log()->content();
}

QString TrafficLogAccessible::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Value)
        return content().toPlainText();
    return QAccessibleWidget::text(kind);
}

QAccessible::State TrafficLogAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

void* TrafficLogAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

void TrafficLogAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !content().hasSelection())
        return;
    *startOffset = content().offsetOf(content().selectionStart());
    *endOffset = content().offsetOf(content().selectionEnd());
}

int TrafficLogAccessible::selectionCount() const {
    return content().selectionStart() < content().selectionEnd() ? 1 : 0;
}

void TrafficLogAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void TrafficLogAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex == 0)
        log()->select(content().end(), content().end());
}

void TrafficLogAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex == 0)
        log()->select(content().placeOf(startOffset), content().placeOf(endOffset));
}

int TrafficLogAccessible::cursorPosition() const {
    // New text goes to the end, and the view follows it there.
    return content().characterCount();
}

void TrafficLogAccessible::setCursorPosition(int position) {
    // The log is read-only: the caret stays at the end; the place asked for is brought into view.
    log()->bringIntoView(content().placeOf(position));
}

QString TrafficLogAccessible::text(int startOffset, int endOffset) const {
    return content().text(startOffset, endOffset);
}

int TrafficLogAccessible::characterCount() const {
    return content().characterCount();
}

bool TrafficLogAccessible::ownBoundary(QAccessible::TextBoundaryType boundary) {
    switch (boundary) {
    case QAccessible::CharBoundary:
    case QAccessible::WordBoundary:
    case QAccessible::LineBoundary:
    case QAccessible::ParagraphBoundary:
    case QAccessible::NoBoundary:
        return true;
    case QAccessible::SentenceBoundary:
        break;
    }
    return false;
}

TrafficLogAccessible::Span
TrafficLogAccessible::spanAt(int offset, QAccessible::TextBoundaryType boundary) const {
    const LogText& text = content();
    const int count = text.characterCount();
    if (boundary == QAccessible::NoBoundary)
        return {0, count};
    if (boundary == QAccessible::CharBoundary)
        return {offset, qMin(offset + 1, count)};
    const LogText::Place place = text.placeOf(offset);
    const int lineStart = offset - place.column;
    const QString& line = text.line(place.line);
    // A line's span ends after its line end; the last line has none.
    const int lineEnd =
        lineStart + static_cast<int>(line.size()) + (place.line < text.lastLine() ? 1 : 0);
    if (boundary != QAccessible::WordBoundary)
        return {lineStart, lineEnd};
    if (place.column == line.size())
        return {offset, lineEnd}; // the line end alone, or nothing at the end of the text
    const bool blank = line.at(place.column).isSpace();
    int start = place.column;
    int end = place.column;
    while (start > 0 && line.at(start - 1).isSpace() == blank)
        --start;
    while (end < line.size() && line.at(end).isSpace() == blank)
        ++end;
    return {lineStart + start, lineStart + end};
}

QString TrafficLogAccessible::spanText(Span span, int* startOffset, int* endOffset) const {
    *startOffset = span.start;
    *endOffset = span.end;
    return text(span.start, span.end);
}

QString TrafficLogAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundary,
                                           int* startOffset, int* endOffset) const {
    if (!ownBoundary(boundary))
        return QAccessibleTextInterface::textAtOffset(offset, boundary, startOffset, endOffset);
    *startOffset = *endOffset = -1;
    if (offset == -2)
        offset = cursorPosition();
    if (offset < 0 || offset > characterCount())
        return QString();
    return spanText(spanAt(offset, boundary), startOffset, endOffset);
}

QString TrafficLogAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary,
                                               int* startOffset, int* endOffset) const {
    if (!ownBoundary(boundary))
        return QAccessibleTextInterface::textBeforeOffset(offset, boundary, startOffset, endOffset);
    *startOffset = *endOffset = -1;
    if (offset == -2)
        offset = cursorPosition();
    if (offset < 0 || offset > characterCount())
        return QString();
    const Span at = spanAt(offset, boundary);
    if (at.start == 0 || boundary == QAccessible::NoBoundary)
        return QString();
    return spanText(spanAt(at.start - 1, boundary), startOffset, endOffset);
}

QString TrafficLogAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundary,
                                              int* startOffset, int* endOffset) const {
    if (!ownBoundary(boundary))
        return QAccessibleTextInterface::textAfterOffset(offset, boundary, startOffset, endOffset);
    *startOffset = *endOffset = -1;
    if (offset == -2)
        offset = cursorPosition();
    if (offset < 0 || offset > characterCount())
        return QString();
    const Span at = spanAt(offset, boundary);
    if (at.end >= characterCount() || boundary == QAccessible::NoBoundary)
        return QString();
    return spanText(spanAt(at.end, boundary), startOffset, endOffset);
}

QRect TrafficLogAccessible::characterRect(int offset) const {
    if (offset < 0 || offset > characterCount())
        return QRect();
    const QRect inView = log()->characterRect(content().placeOf(offset));
    return QRect(log()->viewport()->mapToGlobal(inView.topLeft()), inView.size());
}

int TrafficLogAccessible::offsetAtPoint(const QPoint& point) const {
    const QPoint inView = log()->viewport()->mapFromGlobal(point);
    if (!log()->viewport()->rect().contains(inView))
        return -1;
    return content().offsetOf(log()->placeAt(inView));
}

void TrafficLogAccessible::scrollToSubstring(int startIndex, int endIndex) {
    Q_UNUSED(endIndex)
    log()->bringIntoView(content().placeOf(startIndex));
}

QString TrafficLogAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    // One font and colour throughout.
    Q_UNUSED(offset)
    *startOffset = 0;
    *endOffset = characterCount();
    return QString();
}

QAccessibleInterface* TrafficLogAccessible::create(const QString& className, QObject* object) {
    if (className == QLatin1String("TrafficLog") && object && object->isWidgetType())
        return new TrafficLogAccessible(static_cast<TrafficLog*>(object));
    return nullptr;
}
