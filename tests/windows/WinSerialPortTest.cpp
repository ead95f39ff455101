// The Windows serial adapter on a real COM port: under Wine, a pseudo-terminal of the simulated
// handheld that Wine's registry maps to a COM name. packaging/windows/check-wine starts the
// handheld as each case needs it and names the port in QV_TEST_COM ("COM1", "COM12"); without
// it every case skips.

#include "platform/WinSerialPort.h"

#include "platform/PortMap.h"
#include "platform/WinPortReader.h"
#include "tests/support/MemorySettingsStore.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <windows.h>

namespace {

class WinSerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString name = qEnvironmentVariable("QV_TEST_COM");
        if (name.isEmpty())
            GTEST_SKIP() << "QV_TEST_COM names no COM port with the simulated handheld on it";
        m_port.setPortNumber(name.mid(3).toInt());
        m_port.setLostNotification([this](const QString& why) { m_lost = why; });
        const SerialPort::OpenResult opened = m_port.open();
        ASSERT_TRUE(opened.ok) << opened.message.toStdString();
    }

    // Reads until `until` holds of what came, or timeoutMs pass.
    QByteArray readUntil(const std::function<bool(const QByteArray&)>& until, int timeoutMs) {
        QByteArray got;
        const QDeadlineTimer deadline(timeoutMs);
        while (!until(got) && !deadline.hasExpired() && m_lost.isEmpty()) {
            m_port.waitForInput(50);
            got += m_port.readPending();
            QCoreApplication::processEvents();
        }
        return got;
    }

    MemorySettingsStore m_settings;
    PortMap m_map{m_settings};
    WinSerialPort m_port{m_map};
    QString m_lost;
};

TEST_F(WinSerialPortTest, GreetsTheHandheld) {
    ASSERT_TRUE(m_port.write("ONLINE\r"));
    const QByteArray reply =
        readUntil([](const QByteArray& got) { return got.endsWith("\r\n"); }, 3000);
    EXPECT_EQ(reply, QByteArray("Ok\r\n"));
}

HANDLE openAgain(const QString& device) {
    return ::CreateFileW(WinSerialPort::systemPath(device).toStdWString().c_str(),
                         GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

DCB lineOf(HANDLE handle) {
    DCB line{};
    line.DCBlength = sizeof line;
    EXPECT_TRUE(::GetCommState(handle, &line));
    return line;
}

// Wine lets a second handle look at a port that is open (Windows refuses it): the settings are
// read back there, and after closing, the port has the settings it had before.
TEST_F(WinSerialPortTest, SetsTheLineTo38400EightNoneOneAndGivesTheOldSettingsBack) {
    m_port.close();
    const HANDLE before = openAgain(m_port.deviceName());
    ASSERT_NE(before, INVALID_HANDLE_VALUE);
    DCB other = lineOf(before);
    other.BaudRate = CBR_9600;
    ASSERT_TRUE(::SetCommState(before, &other));
    ::CloseHandle(before);

    ASSERT_TRUE(m_port.open().ok);
    const HANDLE look = openAgain(m_port.deviceName());
    if (look == INVALID_HANDLE_VALUE)
        GTEST_SKIP() << "the system refuses a second handle to an open port";
    const DCB set = lineOf(look);
    ::CloseHandle(look);
    EXPECT_EQ(set.BaudRate, DWORD(CBR_38400));
    EXPECT_EQ(set.ByteSize, 8);
    EXPECT_EQ(set.Parity, NOPARITY);
    EXPECT_EQ(set.StopBits, ONESTOPBIT);
    EXPECT_FALSE(set.fOutxCtsFlow);
    EXPECT_FALSE(set.fInX);
    ASSERT_TRUE(m_port.write("ONLINE\r"));
    EXPECT_EQ(readUntil([](const QByteArray& got) { return got.endsWith("\r\n"); }, 3000),
              QByteArray("Ok\r\n"));

    m_port.close();
    const HANDLE after = openAgain(m_port.deviceName());
    ASSERT_NE(after, INVALID_HANDLE_VALUE);
    const DCB restored = lineOf(after);
    ::CloseHandle(after);
    EXPECT_EQ(restored.BaudRate, DWORD(CBR_9600));
}

// The handheld is started with --wire --flood 20000: READID brings 20,000 bytes at the wire rate.
TEST_F(WinSerialPortTest, TakesAStreamAtTheWireRateWhole) {
    if (qEnvironmentVariableIntValue("QV_TEST_FLOOD") == 0)
        GTEST_SKIP() << "the handheld was not started with --flood";
    const int expected = qEnvironmentVariableIntValue("QV_TEST_FLOOD");
    QElapsedTimer took;
    took.start();
    ASSERT_TRUE(m_port.write("READID\r"));
    const QByteArray got =
        readUntil([&](const QByteArray& bytes) { return bytes.size() >= expected; }, 20000);
    ASSERT_EQ(got.size(), expected);
    // Every byte value in turn, none lost or doubled.
    for (qsizetype i = 1; i < got.size(); ++i)
        ASSERT_EQ(quint8(got.at(i)), quint8(quint8(got.at(i - 1)) + 1)) << "at byte " << i;
    // 20,000 bytes of 10 bits at 38400 baud last 5.2 s.
    EXPECT_GT(took.elapsed(), expected * 10 * 1000 / 38400 * 9 / 10);
}

// The handheld is started with --unplug-after N: it sends N bytes and closes, as a pulled adapter.
TEST_F(WinSerialPortTest, ReportsAPulledCableOnceWithWhatCameBefore) {
    const int before = qEnvironmentVariableIntValue("QV_TEST_UNPLUG_AFTER");
    if (before == 0)
        GTEST_SKIP() << "the handheld was not started with --unplug-after";
    ASSERT_TRUE(m_port.write("READID\r"));
    QByteArray got;
    const QDeadlineTimer deadline(5000);
    while (m_lost.isEmpty() && !deadline.hasExpired()) {
        m_port.waitForInput(50);
        got += m_port.readPending();
        QCoreApplication::processEvents();
    }
    got += m_port.readPending();
    EXPECT_EQ(got.size(), before);
    EXPECT_EQ(m_lost, WinPortReader::failureText(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(m_port.isOpen());
    EXPECT_FALSE(m_port.write("ONLINE\r"));
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
