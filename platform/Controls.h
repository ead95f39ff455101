#pragma once

#include "platform/Control.h"

#include <QString>
#include <QStringList>
#include <functional>

// The window's named controls, as the handlers read and change them. A control is addressed by
// its Control (Control::Tagtyp, Control::Connect, Control::FrameOnline); every change is repainted
// at once, since a handler may pause right after it and the window does not repaint during a pause.
//
// Texts are what the control shows: a text box's text, a drop-down's shown text (an item or what
// the operator typed), a button's or check box's caption.
class Controls {
public:
    virtual ~Controls() = default;

    virtual QString text(Control control) const = 0;
    virtual void setText(Control control, const QString& text) = 0;

    // Check boxes and the connect toggle. setChecked raises the control's change notification
    // when the state really changes (the connect toggle's handler runs, nested), and never the
    // operator's click coupling of a check box.
    virtual bool isChecked(Control control) const = 0;
    virtual void setChecked(Control control, bool checked) = 0;

    // Drop-downs: -1 means no item is selected. setCurrentIndex changes nothing and returns
    // false when the index is outside -1 .. itemCount - 1.
    virtual int currentIndex(Control control) const = 0;
    virtual bool setCurrentIndex(Control control, int index) = 0;
    virtual int itemCount(Control control) const = 0;
    virtual void addItems(Control control, const QStringList& items) = 0;

    // The battery bar: false, and no change, when the value is outside its range.
    virtual bool setValue(Control control, int value) = 0;
    virtual int value(Control control) const = 0;

    virtual void setEnabled(Control control, bool enabled) = 0;
    virtual bool isEnabled(Control control) const = 0;

    // What the handlers are wired to. onPressed: the operator presses a button. onChanged: a
    // check box's or the toggle's state changes, the tool's own change included. onOperatorChanged:
    // only the operator changes it (by mouse, keyboard or assistive technology).
    virtual void onPressed(Control control, std::function<void()> handler) = 0;
    virtual void onChanged(Control control, std::function<void(bool checked)> handler) = 0;
    virtual void onOperatorChanged(Control control, std::function<void(bool checked)> handler) = 0;
};
