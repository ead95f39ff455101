#pragma once

#include "platform/MessageBoxes.h"

class FramePacer;

// Message boxes that first bring the window's streaming changes onto the screen, so the log
// behind a box shows what led to it.
class ShowingMessageBoxes final : public MessageBoxes {
public:
    ShowingMessageBoxes(MessageBoxes& boxes, FramePacer& pacer) : m_boxes(boxes), m_pacer(pacer) {}
    Answer show(const QString& text, const QString& title, Icon icon, Buttons buttons) override;

private:
    MessageBoxes& m_boxes;
    FramePacer& m_pacer;
};
