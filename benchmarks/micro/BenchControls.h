#pragma once

#include "platform/Controls.h"

#include <QByteArray>
#include <QHash>

// The window's controls as plain values: only texts are kept, everything else is inert.
class BenchControls final : public Controls {
public:
    QString text(const char* name) const override { return m_texts.value(QByteArray(name)); }
    void setText(const char* name, const QString& text) override {
        m_texts.insert(QByteArray(name), text);
    }
    bool isChecked(const char*) const override { return false; }
    void setChecked(const char*, bool) override {}
    int currentIndex(const char*) const override { return -1; }
    bool setCurrentIndex(const char*, int) override { return false; }
    int itemCount(const char*) const override { return 0; }
    void addItems(const char*, const QStringList&) override {}
    bool setValue(const char*, int) override { return false; }
    int value(const char*) const override { return 0; }
    void setEnabled(const char*, bool) override {}
    bool isEnabled(const char*) const override { return true; }
    void onPressed(const char*, std::function<void()>) override {}
    void onChanged(const char*, std::function<void(bool)>) override {}
    void onOperatorChanged(const char*, std::function<void(bool)>) override {}

private:
    QHash<QByteArray, QString> m_texts;
};
