#pragma once

#include "link/LinkView.h"

// A traffic log and `Zeile` that show nothing, so a benchmark times the link alone.
class NullLinkView final : public LinkView {
public:
    void clearLog() override {}
    void replaceLog(const QByteArray&) override {}
    void appendLog(const QByteArray&) override {}
    void setZeile(const QByteArray&) override {}
};
