#pragma once

#include <QEvent>
#include <QObject>
#include <QPaintEvent>

// Counts the paint events a widget receives and how far right they reach; installed as the
// widget's event filter.
class PaintCount final : public QObject {
public:
    int paints = 0;
    int widest = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            for (const QRect& rect : static_cast<QPaintEvent*>(event)->region())
                widest = qMax(widest, rect.right() + 1);
        }
        return false;
    }
};
