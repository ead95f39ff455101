#include "ui/PaintNow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace PaintNow {

void changes(QWidget& widget) {
    // Qt collects the marked parts of a window and asks for them to be painted with one update
    // request to the window; delivering it now paints them.
    QCoreApplication::sendPostedEvents(widget.window(), QEvent::UpdateRequest);
}

} // namespace PaintNow
