#include "ui/ShowingFileDialogs.h"

#include "ui/FramePacer.h"

std::optional<QString> ShowingFileDialogs::saveFile(const QString& title,
                                                    const QStringList& filters,
                                                    const QString& initialPath) {
    m_pacer.showNow();
    return m_dialogs.saveFile(title, filters, initialPath);
}

std::optional<QString> ShowingFileDialogs::openFile(const QString& title,
                                                    const QStringList& filters,
                                                    const QString& initialPath) {
    m_pacer.showNow();
    return m_dialogs.openFile(title, filters, initialPath);
}
