#pragma once

#include "link/LinkView.h"
#include "ui/FramePacer.h"

// The traffic log and `Zeile` held in memory. Paced by the window's FramePacer, it asks for
// frames as the traffic log does: appended text and `Zeile` wait for the next frame, a cleared or
// replaced log is shown at once.
class FakeLinkView final : public LinkView {
public:
    void paceWith(FramePacer& pacer) { m_pacer = &pacer; }

    void clearLog() override {
        m_log.clear();
        ++m_repaints;
        showNow();
    }
    void replaceLog(const QByteArray& text) override {
        m_log = text;
        ++m_repaints;
        showNow();
    }
    void appendLog(const QByteArray& text) override {
        m_log += text;
        ++m_repaints;
        requestFrame();
    }
    void setZeile(const QByteArray& line) override {
        m_zeile = line;
        ++m_zeileChanges;
        requestFrame();
    }

    const QByteArray& log() const { return m_log; }
    const QByteArray& zeile() const { return m_zeile; }
    int repaints() const { return m_repaints; }
    int zeileChanges() const { return m_zeileChanges; }

private:
    void requestFrame() {
        if (m_pacer)
            m_pacer->request();
    }
    void showNow() {
        if (m_pacer)
            m_pacer->showNow();
    }

    FramePacer* m_pacer = nullptr;
    QByteArray m_log;
    QByteArray m_zeile;
    int m_repaints = 0;
    int m_zeileChanges = 0;
};
