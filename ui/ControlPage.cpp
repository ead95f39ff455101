#include "ui/ControlPage.h"

#include "ui/Make.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

ControlPage::ControlPage(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("FrameControls"));

    QPushButton* buzzer = Make::button(this, "Buzzer", QStringLiteral("Buzzer"));
    QPushButton* keyboard = Make::button(this, "Keyboard", QStringLiteral("Keyboard"));
    QPushButton* cls = Make::button(this, "CLS", QStringLiteral("Clear Display"));
    QPushButton* display = Make::button(this, "Display", QStringLiteral("Show text"));
    // The display line: "1" shows before any item exists; window load appends "1" to "8"
    // without choosing one, and the operator may type any other text.
    QComboBox* displayZeile = Make::comboBox(this, "DisplayZeile", true);
    displayZeile->setEditText(QStringLiteral("1"));
    displayZeile->setMinimumContentsLength(3);
    Make::labelForAssistiveTechnology(this, QStringLiteral("Display line"), displayZeile);
    QLineEdit* displayText = Make::lineEdit(this, "DisplayText");
    displayText->setAccessibleName(QStringLiteral("Display text"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(buzzer, 0, 0);
    grid->addWidget(keyboard, 0, 1);
    grid->addWidget(cls, 0, 2);
    grid->setRowMinimumHeight(1, 12);
    grid->addWidget(display, 2, 0);
    grid->addWidget(displayZeile, 2, 1);
    grid->addWidget(displayText, 2, 2, 1, 2);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(3, 1);

    m_focusOrder = {buzzer, keyboard, cls, display, displayZeile, displayText};
}
