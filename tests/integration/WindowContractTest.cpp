// The window's contract, control by control: the real tool with its real widgets, serial adapter
// and event loop, on a pseudo-terminal whose other side a simulated handheld answers in a thread
// of its own, noting every command line and when its CR arrived. One row per control that acts:
// where it stands, what the operator sets first, the bytes on the wire with the pauses between
// them, what becomes of the traffic log and the reply mode, what the window shows afterwards and
// which message box it raises.

#include "exchange/CsvConversion.h"
#include "link/ReplyMode.h"
#include "sim/DeviceModel.h"
#include "tests/integration/SimulatedHandheld.h"
#include "tests/support/ControlNamed.h"
#include "tests/support/ScriptedFileDialogs.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "ui/Form1.h"
#include "ui/Tool.h"
#include "ui/TrafficLog.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QPushButton>
#include <QTabWidget>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <mutex>
#include <optional>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

using Icon = MessageBoxes::Icon;
using Buttons = MessageBoxes::Buttons;

qint64 nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The handheld at the master side of a pseudo-terminal. Its thread reads what the tool writes,
// notes each command line (CR included) with the time its CR arrived, and answers as
// DeviceModel does, unless a filter changes the answer.
class WireHandheld {
public:
    struct Command {
        QByteArray bytes;
        qint64 atMs;
        QByteArray answer;
    };
    using Filter = std::function<QByteArray(const QByteArray& command, const QByteArray& answer)>;

    explicit WireHandheld(const DeviceModel::Options& options) : m_model(options) {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return;
        m_path = QString::fromLocal8Bit(::ptsname(m_master));
        // Held open until the tool has opened the device, or its node vanishes; it also lets
        // the test read the line settings back.
        m_slave = ::open(::ptsname(m_master), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios settings{};
        if (m_slave < 0 || ::tcgetattr(m_slave, &settings) != 0)
            return;
        // Anything but what the tool must set: 9600 baud, 7 data bits, even parity, 2 stop bits.
        ::cfmakeraw(&settings);
        ::cfsetspeed(&settings, B9600);
        settings.c_cflag = (settings.c_cflag & ~tcflag_t(CSIZE)) | CS7 | PARENB | CSTOPB;
        ::tcsetattr(m_slave, TCSANOW, &settings);
        m_thread = std::thread([this] { run(); });
    }
    ~WireHandheld() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_slave >= 0)
            ::close(m_slave);
        if (m_master >= 0)
            ::close(m_master);
    }
    WireHandheld(const WireHandheld&) = delete;
    WireHandheld& operator=(const WireHandheld&) = delete;

    bool ok() const { return m_thread.joinable(); }
    const QString& path() const { return m_path; }

    int commandCount() const {
        std::lock_guard lock(m_mutex);
        return int(m_commands.size());
    }
    QList<Command> commandsFrom(int first) const {
        std::lock_guard lock(m_mutex);
        return m_commands.mid(first);
    }
    // Bytes after the last CR: a command not yet complete.
    QByteArray pending() const {
        std::lock_guard lock(m_mutex);
        return m_pending;
    }
    void setFilter(Filter filter) {
        std::lock_guard lock(m_mutex);
        m_filter = std::move(filter);
    }
    void send(const QByteArray& bytes) const {
        [[maybe_unused]] const ssize_t sent = ::write(m_master, bytes.constData(), bytes.size());
    }
    termios lineSettings() const {
        termios settings{};
        ::tcgetattr(m_slave, &settings);
        return settings;
    }

private:
    void run() {
        while (!m_stop) {
            pollfd wait{m_master, POLLIN, 0};
            if (::poll(&wait, 1, 10) <= 0 || !(wait.revents & POLLIN))
                continue;
            char buffer[4096];
            const ssize_t got = ::read(m_master, buffer, sizeof buffer);
            if (got <= 0)
                continue;
            const qint64 at = nowMs();
            QByteArray answers;
            bool greeted = false;
            {
                std::lock_guard lock(m_mutex);
                for (ssize_t n = 0; n < got; ++n) {
                    m_pending += buffer[n];
                    if (buffer[n] != '\r')
                        continue;
                    QByteArray answer = m_model.receive(m_pending);
                    if (m_filter)
                        answer = m_filter(m_pending, answer);
                    m_commands.append({m_pending, at, answer});
                    answers += answer;
                    greeted = greeted || m_pending == "ONLINE\r";
                    m_pending.clear();
                }
            }
            // A handheld takes a moment to wake for the greeting, far longer than the tool's read
            // right after its write, also on a busy machine.
            if (greeted)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            send(answers);
        }
    }

    DeviceModel m_model;
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
    mutable std::mutex m_mutex;
    QList<Command> m_commands;
    QByteArray m_pending;
    Filter m_filter;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};

// One line on the wire: the command with its CR, and the pause the tool keeps before it (after
// the previous line, or after the click for the first).
struct Sent {
    QByteArray bytes;
    int pauseMs = 0;
};

struct Box {
    QString text;
    QString title;
    Icon icon;
    Buttons buttons;
};

struct Dialog {
    bool save;
    QString title;
};

// What the window shows afterwards: a control's text, or one of the pseudo-names below.
struct Shown {
    const char* control;
    QByteArray text;
};
// The traffic log, byte for byte; kAnswer stands for exactly what the handheld answered to the
// row's commands, and a text ending in '*' for its start.
constexpr const char* kLog = "Ausgabe";
const QByteArray kAnswer = "<the handheld's answer>";
// The battery bar's value; whether the four frames are enabled; the record file's bytes.
constexpr const char* kBattery = "akku";
constexpr const char* kFrames = "frames";
constexpr const char* kRecordFile = "record file";

struct Session;

// One acting control. `page` is the tab the control stands on ("" for the top strip).
struct Row {
    const char* page;
    const char* name;
    QString caption;
    std::function<void(Session&)> operatorSets;
    ReplyMode before;
    QList<Sent> wire;
    bool logEmptied;
    ReplyMode after;
    QList<Shown> shows;
    std::optional<Box> box;
    std::optional<Dialog> dialog = std::nullopt;
};

const QByteArray kLogBefore = "(the log before the click)\r\n";

QString pageOf(const Form1& window, const QWidget& control) {
    for (int n = 0; n < window.tabs().count(); ++n)
        if (window.tabs().widget(n)->isAncestorOf(&control))
            return window.tabs().tabText(n);
    return QString();
}

std::string printable(const QByteArray& bytes) {
    std::string out;
    for (const char c : bytes) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\0')
            out += "\\0";
        else
            out += c;
    }
    return out;
}

struct Session {
    explicit Session(const DeviceModel::Options& options) : handheld(options) {
        QFile ini(home.filePath(u"Quorvelino/Quorvelino.ini"_s));
        QDir(home.path()).mkpath(u"Quorvelino"_s);
        if (ini.open(QIODevice::WriteOnly))
            ini.write("[Ports]\nCOM1=" + handheld.path().toLocal8Bit() + "\n");
        ini.close();
        qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
        tool.emplace(&boxes, &dialogs);
        tool->start();
    }
    ~Session() {
        tool.reset();
        qunsetenv("XDG_CONFIG_HOME");
    }

    Controls& controls() { return tool->controls(); }
    QString file(const char* name) const { return files.filePath(QString::fromLatin1(name)); }

    QByteArray shown(const char* control) {
        const QByteArray name(control);
        if (name == kLog)
            return tool->window().log().text();
        if (name == kBattery)
            return QByteArray::number(controls().value(controlNamed(control).value()));
        if (name == kFrames) {
            QByteArray states;
            for (const Control frame : {Control::FrameOnline, Control::FrameControls,
                                        Control::FrameConfig, Control::FrameUebertragen})
                states += controls().isEnabled(frame) ? "on " : "off ";
            return states.trimmed();
        }
        if (name == kRecordFile) {
            QFile records(controls().text(Control::PfadSpeichern));
            return records.open(QIODevice::ReadOnly) ? records.readAll() : "(missing)";
        }
        return controls().text(controlNamed(control).value()).toLatin1();
    }

    static bool matches(const QByteArray& actual, const QByteArray& expected) {
        if (expected.endsWith('*'))
            return actual.startsWith(expected.chopped(1));
        return actual == expected;
    }

    // Clicks the row's control and checks every column.
    void check(const Row& row) {
        SCOPED_TRACE(
            QStringLiteral("%1 / %2 \"%3\"")
                .arg(QString::fromLatin1(row.page), QString::fromLatin1(row.name), row.caption)
                .toStdString());
        QAbstractButton& control = tool->window().button(row.name);
        EXPECT_EQ(control.text().toStdString(), row.caption.toStdString());
        EXPECT_EQ(pageOf(tool->window(), control).toStdString(), row.page);
        if (row.operatorSets)
            row.operatorSets(*this);
        tool->link().setReplyMode(row.before);
        tool->window().log().replaceLog(kLogBefore);
        const int first = handheld.commandCount();
        const qsizetype boxesBefore = boxes.shown().size();
        const qsizetype dialogsBefore = dialogs.opened().size();
        const qint64 clickedAt = nowMs();
        control.click();

        const auto answered = [&] {
            QByteArray answer;
            for (const WireHandheld::Command& command : handheld.commandsFrom(first))
                answer += command.answer;
            return answer;
        };
        const auto showsAll = [&] {
            for (const Shown& s : row.shows)
                if (!matches(shown(s.control), s.text == kAnswer ? answered() : s.text))
                    return false;
            return true;
        };
        waitUntil(
            [&] {
                return handheld.commandCount() - first >= row.wire.size() &&
                       boxes.shown().size() > boxesBefore - (row.box ? 0 : 1) && showsAll();
            },
            6000);
        // Whatever else the click would send has had its time.
        waitUntil([] { return false; }, 120);

        const QList<WireHandheld::Command> sent = handheld.commandsFrom(first);
        QByteArray wire;
        QByteArray expectedWire;
        for (const WireHandheld::Command& command : sent)
            wire += command.bytes + ' ';
        for (const Sent& s : row.wire)
            expectedWire += s.bytes + ' ';
        EXPECT_EQ(printable(wire + handheld.pending()), printable(expectedWire))
            << "the bytes on the wire";
        for (qsizetype n = 0; n < qMin(sent.size(), row.wire.size()); ++n) {
            const qint64 gap = sent[n].atMs - (n == 0 ? clickedAt : sent[n - 1].atMs);
            // The pause may run late on a busy machine, never short.
            EXPECT_GE(gap, row.wire[n].pauseMs - 15) << "pause before " << printable(sent[n].bytes);
            EXPECT_LE(gap, row.wire[n].pauseMs + 2000)
                << "pause before " << printable(sent[n].bytes);
        }
        EXPECT_EQ(!tool->window().log().text().startsWith(kLogBefore), row.logEmptied)
            << "log emptied; it holds " << printable(tool->window().log().text());
        EXPECT_EQ(int(tool->link().replyMode()), int(row.after)) << "ReplyMode afterwards";
        for (const Shown& s : row.shows) {
            const QByteArray expected = s.text == kAnswer ? answered() : s.text;
            EXPECT_TRUE(matches(shown(s.control), expected))
                << s.control << " shows " << printable(shown(s.control)) << ", not "
                << printable(expected);
        }
        const QList<ScriptedMessageBoxes::Shown> raised = boxes.shown().mid(boxesBefore);
        EXPECT_EQ(raised.size(), row.box ? 1 : 0)
            << "message boxes, the first: "
            << (raised.isEmpty() ? std::string() : raised.first().text.toStdString());
        if (row.box && raised.size() == 1) {
            EXPECT_EQ(raised[0].text.toStdString(), row.box->text.toStdString());
            EXPECT_EQ(raised[0].title.toStdString(), row.box->title.toStdString());
            EXPECT_EQ(int(raised[0].icon), int(row.box->icon)) << "icon";
            EXPECT_EQ(int(raised[0].buttons), int(row.box->buttons)) << "buttons";
        }
        const QList<ScriptedFileDialogs::Opened> opened = dialogs.opened().mid(dialogsBefore);
        EXPECT_EQ(opened.size(), row.dialog ? 1 : 0) << "file dialogs";
        if (row.dialog && opened.size() == 1) {
            EXPECT_EQ(opened[0].save, row.dialog->save);
            EXPECT_EQ(opened[0].title.toStdString(), row.dialog->title.toStdString());
        }
        handheld.setFilter({});
    }

    QTemporaryDir home;
    QTemporaryDir files;
    WireHandheld handheld;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    std::optional<Tool> tool;
};

QList<Sent> statusChain() {
    QList<Sent> chain{{"TAGTYP\r", 1000}};
    for (const char* query : {"OFF", "TIMEOUT", "GPSTIMEOUT", "FDXCODE", "ENBEEP", "GPS",
                              "FUNCTION", "LANGUAGE", "AKKU", "VERSION", "SNR"})
        chain.append({QByteArray(query) + '\r', 100});
    return chain;
}

const ReplyMode kIdle = ReplyMode::Idle;
const ReplyMode kIdRead = ReplyMode::IdRead;
const ReplyMode kDownload = ReplyMode::RecordDownload;
// The status chain's mode: an answer that is no status reply is dropped in it, so a command
// that must leave the reply mode alone shows it unchanged.
const ReplyMode kChain = ReplyMode::StatusChain;

const QByteArray kOk = "Ok\r\n";

void set(Session& s, const char* control, const QString& text) {
    s.controls().setText(controlNamed(control).value(), text);
}
void pick(Session& s, const char* list, int index) {
    s.controls().setCurrentIndex(controlNamed(list).value(), index);
}

TEST(WindowContractTest, EveryControlThatActs) {
    DeviceModel::Options options;
    options.records = 3;
    Session s(options);
    ASSERT_TRUE(s.handheld.ok()) << "no pseudo-terminal";

    const QList<QByteArray> records = DeviceModel::demoRecords(3);
    QByteArray recordFile;
    for (const QByteArray& record : records)
        recordFile += CsvConversion::recordToFileLine(record) + "\r\n";

    // clang-format off
    const QList<Row> connectRow{
        // page  control  caption  operator sets first  ReplyMode before
        //   wire (pause before each line, ms)  log emptied  ReplyMode after
        //   the window shows  message box
        {"", "Connect", u"Connect"_s, [](Session& s) { pick(s, "Port", 0); }, kIdle,
         QList<Sent>{{"ONLINE\r", 200}, {"ONLINE\r", 250}} + statusChain(), true, kIdle,
         {{"Connect", "Connected"}, {kLog, "connecting...\r\n*"}, {"SNR", "AE012345"}, {"Version", "V2.31 Sim"},
          {kBattery, "87"}, {"Tagtyp", "1 - FDX-B"}, {kFrames, "on on on on"}},
         std::nullopt},
    };
    // clang-format on
    s.check(connectRow[0]);
    ASSERT_TRUE(s.controls().isEnabled(Control::FrameOnline))
        << "no connection: the other rows need one";

    // The tab strip: page captions in order, each holding its frame.
    const QTabWidget& tabs = s.tool->window().tabs();
    QStringList pages;
    for (int n = 0; n < tabs.count(); ++n)
        pages << tabs.tabText(n) + u' ' + tabs.widget(n)->objectName();
    EXPECT_EQ(pages.join(u", "_s).toStdString(),
              "Online FrameOnline, Control FrameControls, Configuration FrameConfig, "
              "Data exchange FrameUebertragen");

    // The line settings the opened device really has.
    const termios line = s.handheld.lineSettings();
    EXPECT_EQ(::cfgetospeed(&line), speed_t(B38400)) << "speed";
    EXPECT_EQ(line.c_cflag & CSIZE, tcflag_t(CS8)) << "data bits";
    EXPECT_EQ(line.c_cflag & PARENB, tcflag_t(0)) << "parity";
    EXPECT_EQ(line.c_cflag & CSTOPB, tcflag_t(0)) << "stop bits";

    // The clock timer Timer1 puts the PC's time into "Zeit" every 500 ms and sends nothing.
    {
        const int first = s.handheld.commandCount();
        set(s, "Zeit", u"typed"_s);
        EXPECT_TRUE(
            waitUntil([&] { return s.controls().text(Control::Zeit) != u"typed"_s; }, 2000));
        const QDateTime now = QDateTime::currentDateTime();
        EXPECT_TRUE(s.controls().text(Control::Zeit) == now.toString(u"dd.MM.yyyy hh:mm"_s) ||
                    s.controls().text(Control::Zeit) ==
                        now.addSecs(-60).toString(u"dd.MM.yyyy hh:mm"_s))
            << s.controls().text(Control::Zeit).toStdString();
        EXPECT_EQ(s.handheld.commandCount(), first);
    }

    const QString recordPath = s.file("records.csv");
    const QString selectionPath = s.file("selections.csv");
    const QString noSelections = s.file("empty.csv");
    {
        QFile selections(selectionPath);
        ASSERT_TRUE(selections.open(QIODevice::WriteOnly));
        selections.write("4711;Smith;A\r\n0815;Jones;B\r\n");
        QFile empty(noSelections);
        ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    }
    const Box erase{u"Do you really want to delete all data?"_s, u"Delete"_s, Icon::Question,
                    Buttons::YesNo};
    const auto dropSecondReadId = [](Session& s) {
        s.controls().setChecked(Control::ReadCont, true);
        auto reads = std::make_shared<int>(0);
        s.handheld.setFilter([reads](const QByteArray& command, const QByteArray& answer) {
            return command == "READID\r" && ++*reads == 1 ? QByteArray() : answer;
        });
    };

    // clang-format off
    const QList<Row> rows{
        // Online
        {"Online", "ReadId", u"Read ID"_s, nullptr, kIdle,
         {{"READID\r"}}, true, kIdle,
         {{"IDAnzeige", "982 000123456789"}, {kLog, "982 000123456789\r\n"}}, std::nullopt},
        {"Online", "Scan", u"Scan barcode"_s, nullptr, kIdle,
         {{"SCAN\r"}}, true, kIdle,
         {{"IDAnzeige", "4006381333931"}, {kLog, "4006381333931\r\n"}}, std::nullopt},
        // With "read continously" ticked every result is followed, 500 ms later, by a cleared
        // log and "READID"; the handheld leaves the repeat unanswered.
        {"Online", "Scan", u"Scan barcode"_s, dropSecondReadId, kIdle,
         {{"SCAN\r"}, {"READID\r", 500}}, true, kIdRead,
         {{"IDAnzeige", "5901234123457"}, {kLog, ""}}, std::nullopt},
        {"Online", "WriteBlock", u"Write text block"_s,
         [](Session& s) { s.controls().setChecked(Control::ReadCont, false);
                          set(s, "BlockAdress", u"3"_s); set(s, "WriteData", u"Hello"_s); }, kChain,
         {{"WRITE 3 \"Hello\"\r"}}, true, kChain,
         {{kLog, kOk}, {"Zeile", "Ok"}}, std::nullopt},
        {"Online", "ReadBlock", u"Read text block"_s,
         [](Session& s) { set(s, "BlockAdress", u"3"_s); set(s, "BlockEndAdress", u"4"_s); }, kChain,
         {{"READ 3 4\r"}}, true, kChain,
         {{kLog, "3:Hello\r\n4:\0\0\0\0\r\n"_ba}}, std::nullopt},
        {"Online", "WriteBlockHex", u"Write Hex"_s,
         [](Session& s) { set(s, "BlockAdress", u"4"_s); set(s, "WriteData", u"0A1B2C3D"_s); }, kChain,
         {{"BINWRITE 4 0A1B2C3D 3B7D1F5A9C2E\r"}}, true, kChain,
         {{kLog, kOk}}, std::nullopt},
        {"Online", "ReadBlockHex", u"Read Hex"_s,
         [](Session& s) { set(s, "BlockAdress", u"4"_s); }, kChain,
         {{"BINREAD 4 3B7D1F5A9C2E\r"}}, true, kChain,
         {{kLog, kAnswer}}, std::nullopt},
        {"Online", "ReadBlockHex", u"Read Hex"_s,
         [](Session& s) { set(s, "BlockAdress", QString()); }, kChain,
         {}, true, kChain,
         {{kLog, ""}}, Box{u"No block selected!"_s, u"Error"_s, Icon::Warning, Buttons::Ok}},
        {"Online", "WriteBlockHex", u"Write Hex"_s,
         [](Session& s) { set(s, "BlockAdress", u"4"_s); set(s, "WriteData", u"ABC"_s); }, kChain,
         {}, true, kChain,
         {{kLog, ""}}, Box{u"Data are not valid."_s, u"Error"_s, Icon::Warning, Buttons::Ok}},
        // Control
        {"Control", "Buzzer", u"Buzzer"_s, nullptr, kChain,
         {{"BEEP\r"}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        {"Control", "Keyboard", u"Keyboard"_s, nullptr, kChain,
         {{"KEYBOARD\r"}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        {"Control", "CLS", u"Clear Display"_s, nullptr, kChain,
         {{"CLS\r"}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        {"Control", "Display", u"Show text"_s,
         [](Session& s) { set(s, "DisplayZeile", u"3"_s); set(s, "DisplayText", u"Hello"_s); }, kChain,
         {{"DISPLAY 3 \"Hello\"\r"}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        // Configuration
        {"Configuration", "SetzeZeit", u"Set time"_s,
         [](Session& s) { set(s, "Zeit", u"24.12.2026 18:30"_s); }, kChain,
         {{"CLOCK 24.12.2026 18:30\r"}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        {"Configuration", "TagSetzen", u"Set tag type"_s,
         [](Session& s) { pick(s, "Tagtyp", 3); }, kChain,
         {{"TAGTYP 3 \r"}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        {"Configuration", "OfftimeSetzen", u"Set switch off time"_s,
         [](Session& s) { set(s, "Offtime", u"120"_s); }, kChain,
         {{"OFF 120\r"}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        // Both answers reach the log: the first waits in the port during the pause.
        {"Configuration", "ReadtimeoutSetzen", u"Set timeout"_s,
         [](Session& s) { set(s, "Readtimeout", u"25"_s); set(s, "gpstimeout", u"40"_s); }, kChain,
         {{"TIMEOUT 25\r"}, {"GPSTIMEOUT 40\r", 200}}, true, kChain,
         {{kLog, kOk + kOk}}, std::nullopt},
        {"Configuration", "FdxcodeSetzen", u"Set FDX code"_s,
         [](Session& s) { pick(s, "FDXCode", 4); }, kChain,
         {{"FDXCODE 5 \r"}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        // The answer to the ENBEEP line is read during the pause and thrown away.
        {"Configuration", "EnBeeperSetzen", u"Set features"_s,
         [](Session& s) { s.controls().setChecked(Control::EnBeeper, false);
                          s.controls().setChecked(Control::EnGPS, true); }, kChain,
         {{"ENBEEP  0\r"}, {"GPS  1\r", 100}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        {"Configuration", "BetriebsartSetzen", u"Set mode"_s,
         [](Session& s) { pick(s, "Betriebsart", 2); pick(s, "Order", 4); }, kChain,
         {{"FUNCTION 3,4\r"}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        {"Configuration", "SpracheSetzen", u"Set language"_s,
         [](Session& s) { pick(s, "Sprache", 2); }, kChain,
         {{"LANGUAGE 2 \r"}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        // The hidden "Set" beside the serial number, in the top strip.
        {"", "SetSnr", u"Set"_s, [](Session& s) { set(s, "SNR", u"AE654321"_s); }, kChain,
         {{"SNR+654321\r"}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        {"", "SetSnr", u"Set"_s, [](Session& s) { set(s, "SNR", u"ae654321"_s); }, kChain,
         {}, false, kChain, {{kLog, kLogBefore}},
         Box{u"Format: AExxxxxx"_s, u"Error"_s, Icon::None, Buttons::Ok}},
        // Data exchange
        {"Data exchange", "PfadSpeichernWaehlen", u"..."_s,
         [&](Session& s) { s.dialogs.chooseNext(recordPath); }, kChain,
         {}, false, kChain, {{"PfadSpeichern", recordPath.toLocal8Bit()}}, std::nullopt,
         Dialog{true, u"Select CSV file for saving"_s}},
        {"Data exchange", "PfadLadenWaehlen", u"..."_s,
         [&](Session& s) { s.dialogs.chooseNext(selectionPath); }, kChain,
         {}, false, kChain, {{"PfadLaden", selectionPath.toLocal8Bit()}}, std::nullopt,
         Dialog{false, u"Select CSV file for opening"_s}},
        // The count reply is polled and never reaches the log; the records do.
        {"Data exchange", "LeseErfassungen", u"Read out records"_s, nullptr, kIdle,
         {{"STA\r"}, {"GET\r"}}, true, kIdle,
         {{kLog, records.join("\r\n") + "\r\n"}, {"Zeile", records[2]}, {kRecordFile, recordFile}},
         Box{u"Transfer of records finished."_s, u"QuorvelinoTool"_s, Icon::Information, Buttons::Ok}},
        {"Data exchange", "Statistik", u"Statistic"_s, nullptr, kChain,
         {{"STA\r"}}, true, kChain,
         {{"OutStatistik", "Custom codes: 0, records: 3"}, {kLog, ""}}, std::nullopt},
        {"Data exchange", "GeneriereDaten", u"Load selections"_s, nullptr, kChain,
         {{"PUT 4711|Smith|A\r", 5}, {"PUT 0815|Jones|B\r", 5}}, true, kChain,
         {{kLog, "Dataset  2 - Ok\r\n"}}, std::nullopt},
        // An empty selection file sends nothing and leaves the log empty.
        {"Data exchange", "GeneriereDaten", u"Load selections"_s,
         [&](Session& s) { set(s, "PfadLaden", noSelections); }, kChain,
         {}, true, kChain, {{kLog, ""}}, std::nullopt},
        {"Data exchange", "LeseDaten", u"Read out selections"_s,
         [&](Session& s) { set(s, "PfadLaden", selectionPath); }, kChain,
         {{"REC\r"}}, true, kChain,
         {{kLog, "4711|Smith|A\r\n0815|Jones|B\r\n"}, {"Zeile", "0815|Jones|B"}}, std::nullopt},
        {"Data exchange", "LoescheDaten", u"Erase selections"_s,
         [](Session& s) { s.boxes.answerNext(MessageBoxes::Answer::No); }, kChain,
         {}, false, kChain, {{kLog, kLogBefore}}, erase},
        {"Data exchange", "LoescheDaten", u"Erase selections"_s, nullptr, kChain,
         {{"DEL T\r"}}, true, kChain, {{kLog, kOk}}, erase},
        {"Data exchange", "LoescheErfassungen", u"Erase records"_s,
         [](Session& s) { s.boxes.answerNext(MessageBoxes::Answer::No); }, kChain,
         {}, false, kChain, {{kLog, kLogBefore}}, erase},
        {"Data exchange", "LoescheErfassungen", u"Erase records"_s, nullptr, kChain,
         {{"DEL E\r"}}, true, kChain, {{kLog, kOk}}, erase},
    };
    // clang-format on
    for (const Row& row : rows)
        s.check(row);

    // While records are transferring, every button that sends to the handheld is refused and
    // nothing is sent; the path buttons and the connect toggle are not. The handheld, its
    // records erased above, announces three records and sends the first, then nothing.
    const auto firstRecordOnly = [&](Session& s) {
        s.handheld.setFilter([&](const QByteArray& command, const QByteArray& answer) {
            if (command == "STA\r")
                return QByteArray("0|3\r\n");
            return command == "GET\r" ? records[0] + "\r\n" : answer;
        });
    };
    // clang-format off
    s.check({"Data exchange", "LeseErfassungen", u"Read out records"_s, firstRecordOnly, kIdle,
             {{"STA\r"}, {"GET\r"}}, true, kDownload,
             {{kLog, records[0] + "\r\n"}}, std::nullopt});
    const Box refused{
        QStringLiteral("The record download into %1 is still running: 1 of the 3 records have "
                       "arrived. Wait until it has finished, or disconnect to stop it, before "
                       "sending the handheld anything else.").arg(recordPath),
        u"Record download running"_s, Icon::Warning, Buttons::Ok};
    const struct { const char* page; const char* name; QString caption; } sending[]{
        {"Online", "ReadId", u"Read ID"_s}, {"Online", "Scan", u"Scan barcode"_s},
        {"Online", "ReadBlock", u"Read text block"_s}, {"Online", "ReadBlockHex", u"Read Hex"_s},
        {"Online", "WriteBlock", u"Write text block"_s}, {"Online", "WriteBlockHex", u"Write Hex"_s},
        {"Control", "Buzzer", u"Buzzer"_s}, {"Control", "Keyboard", u"Keyboard"_s},
        {"Control", "CLS", u"Clear Display"_s}, {"Control", "Display", u"Show text"_s},
        {"Configuration", "SetzeZeit", u"Set time"_s}, {"Configuration", "TagSetzen", u"Set tag type"_s},
        {"Configuration", "OfftimeSetzen", u"Set switch off time"_s},
        {"Configuration", "ReadtimeoutSetzen", u"Set timeout"_s},
        {"Configuration", "FdxcodeSetzen", u"Set FDX code"_s},
        {"Configuration", "EnBeeperSetzen", u"Set features"_s},
        {"Configuration", "BetriebsartSetzen", u"Set mode"_s},
        {"Configuration", "SpracheSetzen", u"Set language"_s}, {"", "SetSnr", u"Set"_s},
        {"Data exchange", "LeseErfassungen", u"Read out records"_s},
        {"Data exchange", "GeneriereDaten", u"Load selections"_s},
        {"Data exchange", "LoescheErfassungen", u"Erase records"_s},
        {"Data exchange", "LoescheDaten", u"Erase selections"_s},
        {"Data exchange", "LeseDaten", u"Read out selections"_s},
        {"Data exchange", "Statistik", u"Statistic"_s},
    };
    for (const auto& button : sending)
        s.check({button.page, button.name, button.caption, nullptr, kDownload,
                 {}, false, kDownload, {{kLog, kLogBefore}}, refused});
    s.check({"Data exchange", "PfadLadenWaehlen", u"..."_s,
             [&](Session& s) { s.dialogs.chooseNext(selectionPath); }, kDownload,
             {}, false, kDownload, {{"PfadLaden", selectionPath.toLocal8Bit()}}, std::nullopt,
             Dialog{false, u"Select CSV file for opening"_s}});
    s.check({"Data exchange", "PfadSpeichernWaehlen", u"..."_s,
             [&](Session& s) { s.dialogs.chooseNext(recordPath); }, kDownload,
             {}, false, kDownload, {{"PfadSpeichern", recordPath.toLocal8Bit()}}, std::nullopt,
             Dialog{true, u"Select CSV file for saving"_s}});
    // The operator's disconnect ends the transfer without a word and keeps the record that came.
    s.check({"", "Connect", u"Connected"_s, nullptr, kDownload,
             {{"DISCONNECT\r"}}, false, kIdle,
             {{"Connect", "Connect"}, {kFrames, "off off off off"}, {kBattery, "0"},
              {kRecordFile, recordFile.left(recordFile.indexOf('\n') + 1)}}, std::nullopt});
    // A handheld that does not answer the greeting: five attempts, the message, then the
    // disconnect.
    s.check({"", "Connect", u"Connect"_s,
             [](Session& s) {
                 s.handheld.setFilter([](const QByteArray& command, const QByteArray& answer) {
                     return command == "ONLINE\r" ? QByteArray() : answer;
                 });
             }, kIdle,
             {{"ONLINE\r", 200}, {"ONLINE\r", 250}, {"ONLINE\r", 250}, {"ONLINE\r", 250},
              {"ONLINE\r", 250}, {"DISCONNECT\r", 50}}, true, kIdle,
             {{"Connect", "Connect"}, {kFrames, "off off off off"}, {kLog, "connecting...\r\n"}},
             Box{u"Device does not respond."_s, u"Error"_s, Icon::Error, Buttons::Ok}});
    // clang-format on
}

} // namespace
