#pragma once

#include "platform/MessageBoxes.h"

class QWidget;

// Qt's modal message boxes, parented to the window.
class QtMessageBoxes final : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent) : m_parent(parent) {}
    Answer show(const QString& text, const QString& title, Icon icon, Buttons buttons) override;

private:
    QWidget* m_parent;
};
