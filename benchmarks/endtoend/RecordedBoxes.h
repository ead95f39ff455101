#pragma once

#include "platform/MessageBoxes.h"

#include <QStringList>
#include <functional>

// Message boxes that are answered at once: each text is kept, and the caller is told right away.
// A benchmark learns from them when the tool has finished something ("Transfer of records
// finished.") and whether anything failed.
class RecordedBoxes final : public MessageBoxes {
public:
    Answer show(const QString& text, const QString& title, Icon icon, Buttons buttons) override;

    void setOnShown(std::function<void()> onShown) { m_onShown = std::move(onShown); }
    const QStringList& texts() const { return m_texts; }
    void clear() { m_texts.clear(); }

private:
    QStringList m_texts;
    std::function<void()> m_onShown;
};
