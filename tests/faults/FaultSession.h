#pragma once

#include "exchange/CsvConversion.h"
#include "sim/DeviceModel.h"
#include "tests/support/ConnectedTool.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/SimulatedHandheld.h"
#include "tests/support/TestFiles.h"
#include "ui/Form1.h"
#include "ui/Tool.h"
#include "ui/TrafficLog.h"

#include <QAbstractButton>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The real window, headless, with its real serial adapter on quorvelino-sim, started with the
// options that make it misbehave. Message boxes are answered by script and recorded.
class FaultSession : public ::testing::Test {
protected:
    explicit FaultSession(const QStringList& simOptions = {}) : sim(simOptions) {}

    void SetUp() override {
        ASSERT_TRUE(sim.started()) << "quorvelino-sim did not start";
        tool.start();
        tool.controls().setCurrentIndex(Control::Port, 0);
    }

    // Connects and waits for the status chain to fill the serial number.
    ::testing::AssertionResult connectAndWaitForChain(int timeoutMs = kPatientMs) {
        click("Connect");
        if (waitUntil([&] { return chainDone(); }, timeoutMs))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "the status chain did not end; boxes: " << boxTexts() << "; log: " << logText();
    }
    bool chainDone() { return statusChainDone(tool); }

    void click(const char* name) {
        if (qstrcmp(name, "Connect") == 0)
            tool.window().connectButton().click();
        else
            tool.window().button(name).click();
    }
    // Lets the window run for a while with nothing to wait for.
    static void settle(int ms) {
        waitUntil([] { return false; }, ms);
    }
    bool unconnected() {
        Controls& c = tool.controls();
        return !tool.link().port().isOpen() && !c.isChecked(Control::Connect) &&
               c.text(Control::Connect) == QStringLiteral("Connect") &&
               !c.isEnabled(Control::FrameOnline) && !c.isEnabled(Control::FrameUebertragen) &&
               tool.link().replyMode() == ReplyMode::Idle;
    }

    std::string boxTexts() const { return boxes.texts().join(QStringLiteral(" | ")).toStdString(); }
    std::string logText() { return tool.window().log().text().left(400).toStdString(); }

    QString path(const char* name) const { return files.filePath(QString::fromLatin1(name)); }
    // The record file as the first `count` of the handheld's demo records make it.
    static QByteArray recordFileOf(const QList<QByteArray>& records, qsizetype count) {
        QByteArray file;
        for (qsizetype i = 0; i < count; ++i)
            file += CsvConversion::recordToFileLine(records.at(i)) + "\r\n";
        return file;
    }

    QTemporaryDir files;
    SimulatedHandheld sim;
    ScriptedMessageBoxes boxes;
    Tool tool{&boxes};
};
