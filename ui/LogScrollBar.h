#pragma once

#include <QRect>
#include <QScrollBar>

// The traffic log's vertical scroll bar.
//
// A log that grows by a line moves the slider by a fraction of a pixel, yet a scroll bar repaints
// itself on every change of its range or value, and drawing one in the widget style costs more
// than drawing the new line of text. While the log appends, this bar holds such repaints back;
// afterwards it repaints only when its look has changed: when the slider has moved or resized by a
// pixel, or reached or left either end. Every other cause of a repaint (size, state, the mouse,
// the style, the operator scrolling) is left as it is.
class LogScrollBar final : public QScrollBar {
    Q_OBJECT

public:
    explicit LogScrollBar(QWidget* parent = nullptr) : QScrollBar(Qt::Vertical, parent) {}

    // Between these two, range and value changes do not repaint the bar; release() repaints it
    // when its look differs from the one last shown.
    void hold() { m_holding = true; }
    void release();

protected:
    void sliderChange(SliderChange change) override;

private:
    struct Look {
        QRect slider;
        bool empty = false; // no range: nothing to scroll
        bool atMinimum = false;
        bool atMaximum = false;
        bool operator==(const Look&) const = default;
    };
    Look look() const;

    Look m_shown; // the look of the last repaint asked for
    bool m_holding = false;
};
