// The simulator program on a real pseudo-terminal, driven through the tool's own serial adapter.

#include "platform/PortMap.h"
#include "platform/TtySerialPort.h"
#include "sim/DeviceModel.h"
#include "tests/sim/ByteArrayPrinter.h"
#include "tests/support/MemorySettingsStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace {

// quorvelino-sim as a child process; terminated when the test ends.
class Simulator {
public:
    explicit Simulator(const QStringList& arguments) {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(QV_SIM_PATH), arguments);
    }
    ~Simulator() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(1000);
    }
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // The device the simulator prints as its first line; empty when it did not come up.
    QString devicePath() {
        while (!m_process.canReadLine() && m_process.waitForReadyRead(5000)) {
        }
        return QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    QProcess& process() { return m_process; }
    // True once the simulator has ended (waitForFinished alone fails when it already has).
    bool ended(int timeoutMs = 3000) {
        return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(timeoutMs);
    }

private:
    QProcess m_process;
};

// The tool's side: the real serial adapter with COM1 mapped to the simulator's device.
struct Tool {
    explicit Tool(const QString& device) {
        store.save(QStringLiteral("Ports"), QStringLiteral("COM1"), device);
        port.setPortNumber(1);
        port.setLostNotification([this](const QString&) { ++lost; });
    }

    // Reads until done(received) holds or timeoutMs have passed, running the event loop so the
    // adapter's notifications are delivered.
    QByteArray readUntil(const std::function<bool(const QByteArray&)>& done, int timeoutMs = 3000) {
        QByteArray received;
        QElapsedTimer clock;
        clock.start();
        while (!done(received) && clock.elapsed() < timeoutMs) {
            QCoreApplication::processEvents();
            if (!port.isOpen() || !port.waitForInput(20))
                QThread::msleep(5);
            received += port.readPending();
        }
        return received;
    }
    QByteArray exchange(const QByteArray& command, const QByteArray& lastLine) {
        if (!port.write(command + '\r'))
            return "(write failed)";
        return readUntil([&](const QByteArray& got) { return got.endsWith(lastLine); });
    }

    MemorySettingsStore store;
    PortMap map{store};
    TtySerialPort port{map};
    int lost = 0;
};

} // namespace

TEST(SimulatorOnPty, AnswersTheHandshakeThroughTheSerialAdapter) {
    Simulator sim({});
    Tool tool(sim.devicePath());
    ASSERT_TRUE(tool.port.open().ok) << qPrintable(tool.port.deviceName());
    EXPECT_EQ(tool.exchange("ONLINE", "\r\n"), "Ok\r\n");
    EXPECT_EQ(tool.exchange("TAGTYP", "\r\n"), "TAGTYP:1\r\n");
}

TEST(SimulatorOnPty, ReconnectAfterAnAbortedDownloadStartsClean) {
    // At the wire rate 200 records take about 1.6 s; the tool disconnects after the first few.
    Simulator sim({QStringLiteral("--wire"), QStringLiteral("--records"), QStringLiteral("200")});
    Tool tool(sim.devicePath());
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(tool.port.open().ok) << "round " << round;
        EXPECT_EQ(tool.exchange("ONLINE", "\r\n"), "Ok\r\n") << "round " << round;
        ASSERT_TRUE(tool.port.write("GET\r"));
        const QByteArray first =
            tool.readUntil([](const QByteArray& got) { return got.size() >= 64; });
        EXPECT_TRUE(first.startsWith(DeviceModel::demoRecords(1).first())) << "round " << round;
        EXPECT_TRUE(tool.port.write("DISCONNECT\r"));
        tool.port.close();
        QThread::msleep(50);
    }
    EXPECT_EQ(tool.lost, 0);
}

TEST(SimulatorOnPty, UnplugAfterBytesLosesThePort) {
    Simulator sim({QStringLiteral("--unplug-after"), QStringLiteral("3")});
    Tool tool(sim.devicePath());
    ASSERT_TRUE(tool.port.open().ok);
    ASSERT_TRUE(tool.port.write("ONLINE\r"));
    const QByteArray got = tool.readUntil([&](const QByteArray&) { return tool.lost > 0; });
    EXPECT_EQ(tool.lost, 1);
    EXPECT_FALSE(tool.port.isOpen());
    EXPECT_EQ(got, "Ok\r");
    ASSERT_TRUE(sim.ended());
    EXPECT_EQ(sim.process().exitCode(), 0);
}

TEST(SimulatorOnPty, LargestDownloadArrivesWhole) {
    Simulator sim({QStringLiteral("--records"), QStringLiteral("32767")});
    Tool tool(sim.devicePath());
    ASSERT_TRUE(tool.port.open().ok);
    EXPECT_EQ(tool.exchange("STA", "\r\n"), "0|32767\r\n");
    const QByteArray expected = DeviceModel::demoRecords(32767).join("\r\n") + "\r\n";
    ASSERT_TRUE(tool.port.write("GET\r"));
    const QByteArray got = tool.readUntil(
        [&](const QByteArray& received) { return received.size() >= expected.size(); }, 30000);
    EXPECT_EQ(got.size(), expected.size());
    EXPECT_TRUE(got == expected);
}

TEST(SimulatorOnPty, PacedAndSplitRepliesArriveLateButComplete) {
    Simulator sim({QStringLiteral("--wire"), QStringLiteral("--split"), QStringLiteral("--latency"),
                   QStringLiteral("100")});
    Tool tool(sim.devicePath());
    ASSERT_TRUE(tool.port.open().ok);
    const QList<QByteArray> records = DeviceModel::demoRecords(10);
    const QByteArray expected = records.join("\r\n") + "\r\n";
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(tool.exchange("GET", records.last() + "\r\n"), expected);
    // 100 ms latency, then about 290 bytes at 260 us each; the last piece of 32 bytes is read as
    // soon as it is written.
    EXPECT_GE(clock.elapsed(), 100 + (expected.size() - 32) * 260 / 1000);
}

TEST(SimulatorOnPty, TerminationDumpsSelectionsAndRemovesTheLink) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString link = dir.filePath(QStringLiteral("ttyHandheld"));
    const QString dump = dir.filePath(QStringLiteral("selections.txt"));
    Simulator sim({QStringLiteral("--capacity"), QStringLiteral("2"), QStringLiteral("--link"),
                   link, QStringLiteral("--dump"), dump});
    ASSERT_FALSE(sim.devicePath().isEmpty());
    Tool tool(link);
    ASSERT_TRUE(tool.port.open().ok);
    EXPECT_EQ(tool.exchange("PUT 4711|Smith|A", "\r\n"), "Ok\r\n");
    EXPECT_EQ(tool.exchange("PUT ", "\r\n"), "Ok\r\n");
    EXPECT_EQ(tool.exchange("PUT 4712", "\r\n"), "Memory full\r\n");
    tool.port.close();

    sim.process().terminate();
    ASSERT_TRUE(sim.ended());
    EXPECT_EQ(sim.process().exitCode(), 0);
    QFile file(dump);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "4711|Smith|A\n\n");
    EXPECT_FALSE(QFileInfo(link).isSymLink());
}

int main(int argc, char** argv) {
    // The adapter raises its notifications from the event loop, which needs an application.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
