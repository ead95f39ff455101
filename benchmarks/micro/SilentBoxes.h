#pragma once

#include "platform/MessageBoxes.h"

// Message boxes that are answered at once and counted.
class SilentBoxes final : public MessageBoxes {
public:
    Answer show(const QString&, const QString&, Icon, Buttons buttons) override {
        ++m_shown;
        return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
    int shown() const { return m_shown; }

private:
    int m_shown = 0;
};
