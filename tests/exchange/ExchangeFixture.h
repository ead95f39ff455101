#pragma once

#include "exchange/FilePathChoice.h"
#include "exchange/MemoryCommands.h"
#include "exchange/RecordDownload.h"
#include "exchange/SelectionUpload.h"
#include "exchange/TransferProgress.h"
#include "tests/support/ToolHarness.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The progress bar as the handlers drive it.
class RecordingProgress final : public TransferProgress {
public:
    void show(const QString&, qint64 shownDone, qint64 shownTotal) override {
        done = shownDone;
        total = shownTotal;
        visible = true;
    }
    void hide() override { visible = false; }

    qint64 done = 0;
    qint64 total = 0;
    bool visible = false;
};

// The data-exchange handlers on top of the harness, wired as the window wires them, connected
// to the simulated handheld, with the two path fields pointing into a temporary folder.
class ExchangeFixture : public ::testing::Test {
protected:
    explicit ExchangeFixture(const DeviceModel::Options& options = {}) : h(options) {
        h.link.dispatcher().attach(&download);
        h.onTimer([this] { download.checkStall(); });
        h.connect();
        h.port.clearWrites();
        h.controls.setText("PfadSpeichern", recordPath());
        h.controls.setText("PfadLaden", selectionPath());
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
    RecordingProgress progress;
    RecordDownload download{h.link, h.controls, h.dataFile, h.clock, progress};
    SelectionUpload upload{h.link, h.controls, h.dataFile, progress};
    MemoryCommands memory{h.link, h.controls};
    FilePathChoice paths{h.controls, h.dialogs};
};
