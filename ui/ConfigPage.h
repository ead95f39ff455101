#pragma once

#include <QFrame>
#include <QList>

class QCheckBox;

// The frame `FrameConfig` of the "Configuration" page: eight rows, each a label, the setting's
// controls with their units, and the button that sends the setting. Disabled until a connect.
class ConfigPage final : public QFrame {
    Q_OBJECT

public:
    explicit ConfigPage(QWidget* parent = nullptr);

    QCheckBox& checkOfftime() const { return *m_checkOfftime; }
    // The controls that take keyboard focus, in the order the eye reads them.
    QList<QWidget*> focusOrder() const { return m_focusOrder; }

private:
    QCheckBox* m_checkOfftime;
    QList<QWidget*> m_focusOrder;
};
