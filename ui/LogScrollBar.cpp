#include "ui/LogScrollBar.h"

#include <QStyle>
#include <QStyleOptionSlider>

LogScrollBar::Look LogScrollBar::look() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    Look look;
    look.slider =
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    look.empty = minimum() == maximum();
    look.atMinimum = value() == minimum();
    look.atMaximum = value() == maximum();
    return look;
}

void LogScrollBar::release() {
    m_holding = false;
    const Look now = look();
    if (now == m_shown)
        return; // the same pixels would be painted again
    m_shown = now;
    update();
}

void LogScrollBar::sliderChange(SliderChange change) {
    if (m_holding && (change == SliderRangeChange || change == SliderValueChange))
        return;
    QScrollBar::sliderChange(change);
    m_shown = look();
}
