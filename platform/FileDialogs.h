#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// File open and save dialogs. Filters are Qt name filters ("CSV file (*.csv)").
// An empty optional means the operator cancelled.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual std::optional<QString> saveFile(const QString& title, const QStringList& filters,
                                            const QString& initialPath) = 0;
    virtual std::optional<QString> openFile(const QString& title, const QStringList& filters,
                                            const QString& initialPath) = 0;
};
