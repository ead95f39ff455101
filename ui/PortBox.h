#pragma once

#include <QComboBox>

// The port list `Port`: a drop-down that says when it is about to open, so that the devices
// each COM number stands for can be looked up afresh (adapters come and go).
class PortBox final : public QComboBox {
    Q_OBJECT

public:
    explicit PortBox(QWidget* parent = nullptr);
    void showPopup() override;

signals:
    void popupAboutToShow();
};
