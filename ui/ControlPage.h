#pragma once

#include <QFrame>
#include <QList>

// The frame `FrameControls` of the "Control" page: the handheld's buzzer, keyboard command and
// display (`Buzzer`, `Keyboard`, `CLS`, `Display` with `DisplayZeile` and `DisplayText`).
// Disabled until a connect.
class ControlPage final : public QFrame {
    Q_OBJECT

public:
    explicit ControlPage(QWidget* parent = nullptr);

    // The controls that take keyboard focus, in the order the eye reads them.
    QList<QWidget*> focusOrder() const { return m_focusOrder; }

private:
    QList<QWidget*> m_focusOrder;
};
