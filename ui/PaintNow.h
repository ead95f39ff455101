#pragma once

class QWidget;

namespace PaintNow {

// Paints at once what has changed in the widget's window and is not yet on the screen, and
// nothing else: the parts that were marked for repainting (text added, a line scrolled into view,
// a value changed). A handler that pauses right after a change has it shown; repainting whole
// widgets would draw again what the screen already shows.
void changes(QWidget& widget);

} // namespace PaintNow
