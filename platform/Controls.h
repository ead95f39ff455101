#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The window's named controls, as the handlers read and change them. A control is addressed by
// its name in the window ("Tagtyp", "Connect", "FrameOnline"); every change is repainted at once,
// since a handler may pause right after it and the window does not repaint during a pause.
//
// Texts are what the control shows: a text box's text, a drop-down's shown text (an item or what
// the operator typed), a button's or check box's caption.
class Controls {
public:
    virtual ~Controls() = default;

    virtual QString text(const char* name) const = 0;
    virtual void setText(const char* name, const QString& text) = 0;

    // Check boxes and the connect toggle. setChecked raises the control's change notification
    // when the state really changes (the connect toggle's handler runs, nested), and never the
    // operator's click coupling of a check box.
    virtual bool isChecked(const char* name) const = 0;
    virtual void setChecked(const char* name, bool checked) = 0;

    // Drop-downs: -1 means no item is selected. setCurrentIndex changes nothing and returns
    // false when the index is outside -1 .. itemCount - 1.
    virtual int currentIndex(const char* name) const = 0;
    virtual bool setCurrentIndex(const char* name, int index) = 0;
    virtual int itemCount(const char* name) const = 0;
    virtual void addItems(const char* name, const QStringList& items) = 0;

    // The battery bar: false, and no change, when the value is outside its range.
    virtual bool setValue(const char* name, int value) = 0;
    virtual int value(const char* name) const = 0;

    virtual void setEnabled(const char* name, bool enabled) = 0;
    virtual bool isEnabled(const char* name) const = 0;

    // What the handlers are wired to. onPressed: the operator presses a button. onChanged: a
    // check box's or the toggle's state changes, the tool's own change included. onOperatorChanged:
    // only the operator changes it (by mouse, keyboard or assistive technology).
    virtual void onPressed(const char* name, std::function<void()> handler) = 0;
    virtual void onChanged(const char* name, std::function<void(bool checked)> handler) = 0;
    virtual void onOperatorChanged(const char* name, std::function<void(bool checked)> handler) = 0;
};
