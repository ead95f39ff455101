#include "platform/QtFileDialogs.h"

#include <QFileDialog>

namespace {

std::optional<QString> chosen(const QString& path) {
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

} // namespace

std::optional<QString> QtFileDialogs::saveFile(const QString& title, const QStringList& filters,
                                               const QString& initialPath) {
    return chosen(QFileDialog::getSaveFileName(m_parent, title, initialPath,
                                               filters.join(QStringLiteral(";;"))));
}

std::optional<QString> QtFileDialogs::openFile(const QString& title, const QStringList& filters,
                                               const QString& initialPath) {
    return chosen(QFileDialog::getOpenFileName(m_parent, title, initialPath,
                                               filters.join(QStringLiteral(";;"))));
}
