#pragma once

#include "link/LinkView.h"

// The traffic log and `Zeile` held in memory.
class FakeLinkView final : public LinkView {
public:
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
    }
    void setZeile(const QByteArray& line) override {
        m_zeile = line;
        ++m_zeileChanges;
    }

    const QByteArray& log() const { return m_log; }
    const QByteArray& zeile() const { return m_zeile; }
    int repaints() const { return m_repaints; }
    int zeileChanges() const { return m_zeileChanges; }

private:
    QByteArray m_log;
    QByteArray m_zeile;
    int m_repaints = 0;
    int m_zeileChanges = 0;
};
