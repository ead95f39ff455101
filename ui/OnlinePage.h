#pragma once

#include <QFrame>
#include <QList>

// The frame `FrameOnline` of the "Online" page: identification reads (`ReadId`, `Scan`,
// `ReadCont`, result `IDAnzeige`) and transponder block access (four block buttons with the
// fields `BlockAdress`, `BlockEndAdress`, `Key` and `WriteData`). Disabled until a connect.
class OnlinePage final : public QFrame {
    Q_OBJECT

public:
    explicit OnlinePage(QWidget* parent = nullptr);

    // The controls that take keyboard focus, in the order the eye reads them.
    QList<QWidget*> focusOrder() const { return m_focusOrder; }

private:
    QList<QWidget*> m_focusOrder;
};
