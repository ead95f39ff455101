#pragma once

#include "platform/Control.h"

#include <cstring>
#include <optional>

// The control a window widget's object name stands for, for tests that walk the window's widgets
// or name controls in tables beside other things they show; nothing for a widget no handler uses
// (a label, a page).
inline std::optional<Control> controlNamed(const char* name) {
    for (const Control control : kAllControls)
        if (std::strcmp(objectName(control), name) == 0)
            return control;
    return std::nullopt;
}
