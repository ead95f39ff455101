#pragma once

#include "ui/LogText.h"

#include <QAccessibleTextInterface>
#include <QAccessibleWidget>

class TrafficLog;

// What assistive technology learns of the traffic log: a read-only, multi-line text, the text
// the log shows, with the caret at its end and the operator's selection. Text can be read by
// offset, by character, word (a run of blanks or of other characters) and line (with its line
// end); the log's lines are its lines, so a long line shown in pieces reads as those pieces.
class TrafficLogAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TrafficLogAccessible(TrafficLog* log);

    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                             int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                            int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                         int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // The factory installed for the application: gives the log this interface.
    static QAccessibleInterface* create(const QString& className, QObject* object);

private:
    struct Span {
        int start = 0;
        int end = 0;
    };

    TrafficLog* log() const;
    const LogText& content() const;
    // The character, word or line the offset lies in; offset is 0 to characterCount().
    Span spanAt(int offset, QAccessible::TextBoundaryType boundary) const;
    static bool ownBoundary(QAccessible::TextBoundaryType boundary);
    QString spanText(Span span, int* startOffset, int* endOffset) const;
};
