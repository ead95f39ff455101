#include "exchange/CsvConversion.h"
#include "sim/DeviceModel.h"
#include "tests/support/ConnectedTool.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/SimulatedHandheld.h"
#include "ui/Form1.h"
#include "ui/Tool.h"
#include "ui/TrafficLog.h"

#include <QAbstractButton>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Data exchange through the real window and serial adapter with quorvelino-sim.
class ExchangeIntegrationTest : public ::testing::Test {
protected:
    explicit ExchangeIntegrationTest(const QStringList& options) : sim(options) {}

    void connect() {
        ASSERT_TRUE(sim.started()) << "quorvelino-sim did not start";
        tool.start();
        tool.controls().setCurrentIndex(Control::Port, 0);
        ASSERT_TRUE(connectAndWaitForChain(tool, kPatientMs));
    }

    QTemporaryDir files;
    SimulatedHandheld sim;
    ScriptedMessageBoxes boxes;
    Tool tool{&boxes};
};

class DownloadIntegrationTest : public ExchangeIntegrationTest {
protected:
    DownloadIntegrationTest() : ExchangeIntegrationTest({u"--records"_s, u"1000"_s}) {}
};

TEST_F(DownloadIntegrationTest, ThousandRecordsArriveInTheFileByteForByte) {
    connect();
    const QString path = files.filePath(u"records.csv"_s);
    tool.controls().setText(Control::PfadSpeichern, path);
    tool.window().button("LeseErfassungen").click();
    ASSERT_TRUE(waitUntil([&] { return !boxes.shown().isEmpty(); }, kPatientMs));
    ASSERT_EQ(boxes.texts(), QStringList{u"Transfer of records finished."_s});
    EXPECT_EQ(tool.link().replyMode(), ReplyMode::Idle);

    QByteArray expected;
    for (const QByteArray& record : DeviceModel::demoRecords(1000))
        expected += CsvConversion::recordToFileLine(record) + "\r\n";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), expected);
}

class UploadIntegrationTest : public ExchangeIntegrationTest {
protected:
    UploadIntegrationTest()
        : ExchangeIntegrationTest({u"--dump"_s, QDir::tempPath() + u"/qv-upload-dump.txt"_s}) {}
};

TEST_F(UploadIntegrationTest, TheHandheldHoldsExactlyTheUploadedSelections) {
    connect();
    const QString path = files.filePath(u"selections.csv"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("4711;Smith;A\r\n982000123456789;Jones, B.;\xe4\r\n\r\nlast;|bar|\r");
    file.close();
    tool.controls().setText(Control::PfadLaden, path);
    tool.window().button("GeneriereDaten").click();
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join(u" | "_s).toStdString();
    EXPECT_TRUE(tool.window().log().text().startsWith("Dataset  4 - Ok"))
        << tool.window().log().text().toStdString();

    sim.stop();
    QFile dump(QDir::tempPath() + u"/qv-upload-dump.txt"_s);
    ASSERT_TRUE(dump.open(QIODevice::ReadOnly));
    EXPECT_EQ(dump.readAll().toStdString(),
              "4711|Smith|A\n982000123456789|Jones, B.|\xe4\n\nlast||bar|\n");
    dump.remove();
}

} // namespace
