#include "ui/ShowingMessageBoxes.h"

#include "ui/FramePacer.h"

MessageBoxes::Answer ShowingMessageBoxes::show(const QString& text, const QString& title, Icon icon,
                                               Buttons buttons) {
    m_pacer.showNow();
    return m_boxes.show(text, title, icon, buttons);
}
