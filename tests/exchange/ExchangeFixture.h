#pragma once

#include "tests/support/ToolHarness.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The data-exchange handlers of the harness, with the window's timer running, connected
// to the simulated handheld, with the two path fields pointing into a temporary folder.
class ExchangeFixture : public ::testing::Test {
protected:
    explicit ExchangeFixture(const DeviceModel::Options& options = {}) : h(options) {
        h.startTimer();
        h.connect();
        h.port.clearWrites();
        h.controls.setText(Control::PfadSpeichern, recordPath());
        h.controls.setText(Control::PfadLaden, selectionPath());
    }

    QString recordPath() const { return dir.filePath(QStringLiteral("records.csv")); }
    QString selectionPath() const { return dir.filePath(QStringLiteral("selections.csv")); }

    QByteArray recordFile() const {
        QFile file(recordPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }
    void writeSelections(const QByteArray& bytes) const {
        QFile file(selectionPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    // The handheld answers the given commands (without CR) as given, the rest as it would.
    void answer(QMap<QByteArray, QByteArray> replies) {
        h.port.setDevice([this, replies](const QByteArray& bytes) -> QByteArray {
            const QByteArray command = bytes.chopped(1);
            if (replies.contains(command))
                return replies.value(command);
            return h.device.receive(bytes);
        });
    }

    QTemporaryDir dir;
    ToolHarness h;
    RecordingProgress& progress = h.progress;
    RecordDownload& download = h.set.download;
    SelectionUpload& upload = h.set.upload;
    MemoryCommands& memory = h.set.memory;
    FilePathChoice& paths = h.set.paths;
};
