#pragma once

#include "platform/FileDialogs.h"

class QWidget;

// Qt's file dialogs, parented to the window.
class QtFileDialogs final : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent) : m_parent(parent) {}
    std::optional<QString> saveFile(const QString& title, const QStringList& filters,
                                    const QString& initialPath) override;
    std::optional<QString> openFile(const QString& title, const QStringList& filters,
                                    const QString& initialPath) override;

private:
    QWidget* m_parent;
};
