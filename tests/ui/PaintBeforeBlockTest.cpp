#include "platform/Sleeper.h"
#include "tests/support/ScriptedHandheld.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/ToolSettingsHome.h"
#include "tests/support/WaitUntil.h"
#include "tests/ui/LogWindow.h"
#include "ui/Form1.h"
#include "ui/Tool.h"
#include "ui/TrafficLog.h"

#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Looks at the screen whenever a handler is about to block: the traffic log there must show what
// the log holds, as a log given the same bytes draws it, and `Zeile` the last line handled.
class Observer {
public:
    void watch(Tool& tool) { m_tool = &tool; }

    void look(const char* when) {
        if (!m_tool || !m_tool->window().isVisible())
            return;
        TrafficLog& log = m_tool->window().log();
        QWidget& viewport = *log.viewport();
        const QImage screen = viewport.screen()->grabWindow(m_tool->window().winId()).toImage();
        const QImage shown =
            screen.copy(QRect(viewport.mapTo(&m_tool->window(), QPoint(0, 0)), viewport.size()))
                .convertToFormat(QImage::Format_RGB32);
        LogWindow paced;
        TrafficLog& same = paced.log;
        same.resize(log.size());
        same.show();
        same.appendLog(log.text());
        paced.pacer.showNow();
        const QImage drawn =
            same.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ++looks;
        const QString tail = QString::fromLatin1(log.text().right(40));
        if (shown != drawn)
            failures << QStringLiteral("%1 after ...%2: the log is not up to date on the screen")
                            .arg(QLatin1String(when), tail);
        // The last complete line the log holds is the one just handled.
        QByteArray last;
        for (const QByteArray& line : log.text().left(log.text().lastIndexOf("\r\n")).split('\n')) {
            const QByteArray text = line.endsWith('\r') ? line.chopped(1) : line;
            if (!text.isEmpty())
                last = text;
        }
        const QString zeile = m_tool->controls().text(Control::Zeile);
        if (!zeile.isEmpty() && zeile != QString::fromLatin1(last))
            failures << QStringLiteral("%1 after ...%2: Zeile holds \"%3\"")
                            .arg(QLatin1String(when), tail, zeile);
    }

    int looks = 0;
    QStringList failures;

private:
    Tool* m_tool = nullptr;
};

// A real pause, looked at first.
class ObservedSleeper final : public Sleeper {
public:
    explicit ObservedSleeper(Observer& observer) : m_observer(observer) {}
    void sleepMs(int ms) override {
        m_observer.look("pause");
        QThread::msleep(static_cast<unsigned long>(ms));
    }

private:
    Observer& m_observer;
};

TEST(PaintBeforeBlock, APauseOrABoxRightAfterALineFindsTheLineOnTheScreen) {
    ScriptedHandheld handheld;
    ASSERT_TRUE(handheld.ok()) << handheld.error().toStdString();
    ToolSettingsHome home;
    ASSERT_TRUE(home.mapCom1(handheld.device()));
    Observer observer;
    ObservedSleeper sleeper(observer);
    ScriptedMessageBoxes boxes;
    boxes.whileOpen([&] { observer.look("box"); });
    Tool tool(&boxes, nullptr, &sleeper);
    observer.watch(tool);
    tool.start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tool.window()));
    tool.controls().setCurrentIndex(Control::Port, 0);

    // Each status reply is followed by a pause of the status chain.
    tool.window().connectButton().click();
    const auto waitFor = [](const std::function<bool()>& done) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < kPatientMs)
            QTest::qWait(10);
        return done();
    };
    ASSERT_TRUE(
        waitFor([&] { return tool.controls().text(Control::SNR) == QStringLiteral("AE012345"); }));
    // The last record is followed by "Transfer of records finished.".
    tool.controls().setText(Control::PfadSpeichern, home.filePath(QStringLiteral("records.csv")));
    tool.window().button("LeseErfassungen").click();
    ASSERT_TRUE(waitFor([&] { return !boxes.shown().isEmpty(); }));
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Transfer of records finished.")});

    EXPECT_GE(observer.looks, 12 + 1);
    EXPECT_TRUE(observer.failures.isEmpty()) << observer.failures.join(u'\n').toStdString();
}

} // namespace
