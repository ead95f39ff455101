#include "exchange/FilePathChoice.h"

#include "platform/Controls.h"
#include "platform/FileDialogs.h"

void FilePathChoice::chooseSavePath() {
    const std::optional<QString> path = m_dialogs.saveFile(
        QStringLiteral("Select CSV file for saving"),
        {QStringLiteral("CSV file (*.csv)"), QStringLiteral("All files (*)")}, m_lastChosen);
    if (!path)
        return;
    m_lastChosen = *path;
    m_controls.setText(Control::PfadSpeichern, *path);
}

void FilePathChoice::chooseLoadPath() {
    const std::optional<QString> path = m_dialogs.openFile(
        QStringLiteral("Select CSV file for opening"),
        {QStringLiteral("CSV files (*.csv)"), QStringLiteral("All files (*)")}, m_lastChosen);
    if (!path)
        return;
    m_lastChosen = *path;
    m_controls.setText(Control::PfadLaden, *path);
}
