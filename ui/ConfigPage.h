#pragma once

#include <QFrame>
#include <QList>

class QCheckBox;
class QGridLayout;

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
    // The rows, two by two, each group with its controls; they append them to m_focusOrder.
    void addClockRows(QGridLayout& grid);
    void addTimeoutRows(QGridLayout& grid);
    void addFeatureRows(QGridLayout& grid);
    void addModeRows(QGridLayout& grid);

    static constexpr int kRows = 8;

    QCheckBox* m_checkOfftime;
    QList<QWidget*> m_focusOrder;
};
