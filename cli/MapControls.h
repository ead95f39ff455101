#pragma once

#include "platform/Controls.h"

#include <QHash>
#include <functional>

// The window's named controls as the command line keeps them: a map of named values, each
// coming into being, empty, when it is first used.
//
// A drop-down's text is its chosen item, or the text set when no item has it; -1 is no item.
// The one value control is the battery bar, which takes 0 to 100. Nothing is painted; the only
// notification is the one a handler relies on, the change of a check state (the connect toggle
// runs its handler, nested, when the tool itself unchecks it).
class MapControls final : public Controls {
public:
    QString text(const char* name) const override;
    void setText(const char* name, const QString& text) override;
    bool isChecked(const char* name) const override;
    void setChecked(const char* name, bool checked) override;
    int currentIndex(const char* name) const override;
    bool setCurrentIndex(const char* name, int index) override;
    int itemCount(const char* name) const override;
    void addItems(const char* name, const QStringList& items) override;
    bool setValue(const char* name, int value) override;
    int value(const char* name) const override;
    void setEnabled(const char* name, bool enabled) override;
    bool isEnabled(const char* name) const override;
    // The command line has no operator: nothing is ever pressed or changed by one.
    void onPressed(const char*, std::function<void()>) override {}
    void onChanged(const char* name, std::function<void(bool checked)> handler) override;
    void onOperatorChanged(const char*, std::function<void(bool)>) override {}
    // True once a value was set on the control (a battery level the handheld never reported
    // stays unset, where the window shows its 0).
    bool hasValue(const char* name) const;

    static constexpr int kMaximumValue = 100;

private:
    struct Control {
        QString text;
        bool checked = false;
        int index = -1;
        QStringList items;
        int value = 0;
        bool valueSet = false;
        bool enabled = true;
    };

    const Control& at(const char* name) const;

    QHash<QString, Control> m_controls;
    QHash<QString, std::function<void(bool)>> m_changed;
};
