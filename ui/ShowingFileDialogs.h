#pragma once

#include "platform/FileDialogs.h"

class FramePacer;

// File dialogs that first bring the window's streaming changes onto the screen.
class ShowingFileDialogs final : public FileDialogs {
public:
    ShowingFileDialogs(FileDialogs& dialogs, FramePacer& pacer)
        : m_dialogs(dialogs), m_pacer(pacer) {}
    std::optional<QString> saveFile(const QString& title, const QStringList& filters,
                                    const QString& initialPath) override;
    std::optional<QString> openFile(const QString& title, const QStringList& filters,
                                    const QString& initialPath) override;

private:
    FileDialogs& m_dialogs;
    FramePacer& m_pacer;
};
