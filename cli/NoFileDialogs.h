#pragma once

#include "platform/FileDialogs.h"

// The command line takes its file from its arguments: a file dialog, which only a button of the
// window opens, is never shown and counts as cancelled.
class NoFileDialogs final : public FileDialogs {
public:
    std::optional<QString> saveFile(const QString&, const QStringList&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> openFile(const QString&, const QStringList&, const QString&) override {
        return std::nullopt;
    }
};
