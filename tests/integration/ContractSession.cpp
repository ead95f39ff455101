#include "tests/integration/ContractSession.h"

#include "tests/support/ControlNamed.h"
#include "tests/support/WaitUntil.h"
#include "ui/Form1.h"
#include "ui/TrafficLog.h"

#include <QAbstractButton>
#include <QFile>
#include <QTabWidget>
#include <gtest/gtest.h>
#include <termios.h>

namespace {

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

bool matches(const QByteArray& actual, const QByteArray& expected) {
    if (expected.endsWith('*'))
        return actual.startsWith(expected.chopped(1));
    return actual == expected;
}

} // namespace

ContractSession::ContractSession(const DeviceModel::Options& options) : handheld(options) {
    // Anything but what the tool must set: 9600 baud, 7 data bits, even parity, 2 stop bits.
    termios settings = handheld.lineSettings();
    ::cfsetspeed(&settings, B9600);
    settings.c_cflag = (settings.c_cflag & ~tcflag_t(CSIZE)) | CS7 | PARENB | CSTOPB;
    handheld.setLineSettings(settings);
    home.mapCom1(handheld.device());
    tool.emplace(&boxes, &dialogs);
    tool->start();
}

ContractSession::~ContractSession() {
    tool.reset();
}

QByteArray ContractSession::shown(const char* control) {
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

void ContractSession::check(const Row& row) {
    SCOPED_TRACE(QStringLiteral("%1 / %2 \"%3\"")
                     .arg(QString::fromLatin1(row.page), QString::fromLatin1(row.name), row.caption)
                     .toStdString());
    const Before before = click(row);
    waitForEffects(row, before);
    checkWire(row, before);
    checkWindow(row, before);
    checkBoxesAndDialogs(row, before);
    handheld.clearScript();
}

ContractSession::Before ContractSession::click(const Row& row) {
    QAbstractButton& control = tool->window().button(row.name);
    EXPECT_EQ(control.text().toStdString(), row.caption.toStdString());
    EXPECT_EQ(pageOf(tool->window(), control).toStdString(), row.page);
    if (row.operatorSets)
        row.operatorSets(*this);
    tool->link().setReplyMode(row.before);
    tool->window().log().replaceLog(kLogBefore);
    const Before before{handheld.lineCount(), boxes.shown().size(), dialogs.opened().size(),
                        ScriptedHandheld::nowMs()};
    control.click();
    return before;
}

QByteArray ContractSession::answered(const Before& before) const {
    QByteArray answer;
    for (const ScriptedHandheld::Line& line : handheld.linesFrom(before.lines))
        answer += line.answer;
    return answer;
}

void ContractSession::waitForEffects(const Row& row, const Before& before) {
    const auto showsAll = [&] {
        for (const Shown& s : row.shows)
            if (!matches(shown(s.control), s.text == kAnswer ? answered(before) : s.text))
                return false;
        return true;
    };
    waitUntil(
        [&] {
            return handheld.lineCount() - before.lines >= row.wire.size() &&
                   boxes.shown().size() > before.boxes - (row.box ? 0 : 1) && showsAll();
        },
        kPatientMs);
    // Whatever else the click would send has had its time.
    waitUntil([] { return false; }, 120);
}

void ContractSession::checkWire(const Row& row, const Before& before) {
    const QList<ScriptedHandheld::Line> sent = handheld.linesFrom(before.lines);
    QByteArray wire;
    QByteArray expectedWire;
    for (const ScriptedHandheld::Line& line : sent)
        wire += line.bytes + ' ';
    for (const Sent& s : row.wire)
        expectedWire += s.bytes + ' ';
    EXPECT_EQ(printable(wire + handheld.pending()), printable(expectedWire))
        << "the bytes on the wire";
    qint64 pausesMs = 0;
    for (qsizetype n = 0; n < qMin(sent.size(), row.wire.size()); ++n) {
        // A line is seen here when this thread gets to read it, which on a busy machine may be
        // late: the pauses since the click are a floor for when each line is seen, while the gap
        // to the line before may look short when that one was seen late.
        pausesMs += row.wire[n].pauseMs;
        EXPECT_GE(sent[n].atMs - before.clickedAtMs, pausesMs - 15)
            << "pauses up to " << printable(sent[n].bytes);
        const qint64 gap = sent[n].atMs - (n == 0 ? before.clickedAtMs : sent[n - 1].atMs);
        EXPECT_LE(gap, row.wire[n].pauseMs + 2000) << "pause before " << printable(sent[n].bytes);
    }
}

void ContractSession::checkWindow(const Row& row, const Before& before) {
    EXPECT_EQ(!tool->window().log().text().startsWith(kLogBefore), row.logEmptied)
        << "log emptied; it holds " << printable(tool->window().log().text());
    EXPECT_EQ(int(tool->link().replyMode()), int(row.after)) << "ReplyMode afterwards";
    for (const Shown& s : row.shows) {
        const QByteArray expected = s.text == kAnswer ? answered(before) : s.text;
        EXPECT_TRUE(matches(shown(s.control), expected))
            << s.control << " shows " << printable(shown(s.control)) << ", not "
            << printable(expected);
    }
}

void ContractSession::checkBoxesAndDialogs(const Row& row, const Before& before) {
    const QList<ScriptedMessageBoxes::Shown> raised = boxes.shown().mid(before.boxes);
    EXPECT_EQ(raised.size(), row.box ? 1 : 0)
        << "message boxes, the first: "
        << (raised.isEmpty() ? std::string() : raised.first().text.toStdString());
    if (row.box && raised.size() == 1) {
        EXPECT_EQ(raised[0].text.toStdString(), row.box->text.toStdString());
        EXPECT_EQ(raised[0].title.toStdString(), row.box->title.toStdString());
        EXPECT_EQ(int(raised[0].icon), int(row.box->icon)) << "icon";
        EXPECT_EQ(int(raised[0].buttons), int(row.box->buttons)) << "buttons";
    }
    const QList<ScriptedFileDialogs::Opened> opened = dialogs.opened().mid(before.dialogs);
    EXPECT_EQ(opened.size(), row.dialog ? 1 : 0) << "file dialogs";
    if (row.dialog && opened.size() == 1) {
        EXPECT_EQ(opened[0].save, row.dialog->save);
        EXPECT_EQ(opened[0].title.toStdString(), row.dialog->title.toStdString());
    }
}

QList<Sent> statusChain() {
    QList<Sent> chain{{"TAGTYP\r", 1000}};
    for (const char* query : {"OFF", "TIMEOUT", "GPSTIMEOUT", "FDXCODE", "ENBEEP", "GPS",
                              "FUNCTION", "LANGUAGE", "AKKU", "VERSION", "SNR"})
        chain.append({QByteArray(query) + '\r', 100});
    return chain;
}

void set(ContractSession& s, const char* control, const QString& text) {
    s.controls().setText(controlNamed(control).value(), text);
}

void pick(ContractSession& s, const char* list, int index) {
    s.controls().setCurrentIndex(controlNamed(list).value(), index);
}
