#include "ui/PortBox.h"

PortBox::PortBox(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("Port"));
    setEditable(false);
}

void PortBox::showPopup() {
    emit popupAboutToShow();
    QComboBox::showPopup();
}
