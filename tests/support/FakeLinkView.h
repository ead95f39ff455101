#pragma once

#include "link/LinkView.h"

#include <functional>

// The traffic log and `Zeile` held in memory.
class FakeLinkView final : public LinkView {
public:
    // Called on every change that the window would show with its next frame.
    void setOnChange(std::function<void()> changed) { m_changed = std::move(changed); }

    void clearLog() override {
        m_log.clear();
        ++m_repaints;
    }
    void replaceLog(const QByteArray& text) override {
        m_log = text;
        ++m_repaints;
    }
    void appendLog(const QByteArray& text) override {
        m_log += text;
        ++m_repaints;
        changed();
    }
    void setZeile(const QByteArray& line) override {
        m_zeile = line;
        ++m_zeileChanges;
        changed();
    }

    const QByteArray& log() const { return m_log; }
    const QByteArray& zeile() const { return m_zeile; }
    int repaints() const { return m_repaints; }
    int zeileChanges() const { return m_zeileChanges; }

private:
    void changed() {
        if (m_changed)
            m_changed();
    }

    std::function<void()> m_changed;
    QByteArray m_log;
    QByteArray m_zeile;
    int m_repaints = 0;
    int m_zeileChanges = 0;
};
