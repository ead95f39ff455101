#include "platform/QtMessageBoxes.h"

#include <QMessageBox>

MessageBoxes::Answer QtMessageBoxes::show(const QString& text, const QString& title, Icon icon,
                                          Buttons buttons) {
    QMessageBox box(m_parent);
    box.setWindowTitle(title.isEmpty() ? applicationTitle() : title);
    // Texts may carry what the handheld sent or a file name: shown as they are, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::No ? Answer::No : Answer::Yes;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}
