#pragma once

#include "platform/Controls.h"

#include <QByteArray>
#include <QHash>

// The window's controls as plain values: only texts are kept, everything else is inert.
class BenchControls final : public Controls {
public:
    QString text(Control control) const override { return m_texts.value(control); }
    void setText(Control control, const QString& text) override { m_texts.insert(control, text); }
    bool isChecked(Control) const override { return false; }
    void setChecked(Control, bool) override {}
    int currentIndex(Control) const override { return -1; }
    bool setCurrentIndex(Control, int) override { return false; }
    int itemCount(Control) const override { return 0; }
    void addItems(Control, const QStringList&) override {}
    bool setValue(Control, int) override { return false; }
    int value(Control) const override { return 0; }
    void setEnabled(Control, bool) override {}
    bool isEnabled(Control) const override { return true; }
    void onPressed(Control, std::function<void()>) override {}
    void onChanged(Control, std::function<void(bool)>) override {}
    void onOperatorChanged(Control, std::function<void(bool)>) override {}

private:
    QHash<Control, QString> m_texts;
};
