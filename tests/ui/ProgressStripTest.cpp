#include "ui/ProgressStrip.h"

#include "platform/QtSingleShotTimer.h"
#include "platform/SystemClock.h"
#include "tests/support/PaintCount.h"
#include "ui/FramePacer.h"
#include "ui/PaintNow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QThread>
#include <gtest/gtest.h>

namespace {

TEST(ProgressStrip, ShowsTheFirstAndLastReportAtTheNextFrameAndTheOthersAtMostFourTimesASecond) {
    SystemClock clock;
    QtSingleShotTimer frameTimer;
    QWidget window;
    FramePacer pacer(frameTimer, clock, [&window] { PaintNow::changes(window); });
    ProgressStrip strip(pacer, &window);
    window.resize(400, 30);
    window.show();
    QApplication::processEvents();
    strip.hide();
    QProgressBar& bar = *strip.findChild<QProgressBar*>();

    strip.show(QStringLiteral("Records received"), 0, 1000);
    EXPECT_FALSE(strip.isVisible()) << "shown with the window's next frame, not before";
    pacer.showNow();
    EXPECT_TRUE(strip.isVisible());
    for (int done = 1; done <= 500; ++done)
        strip.show(QStringLiteral("Records received"), done, 1000);
    pacer.showNow();
    EXPECT_EQ(bar.value(), 0) << "reports coming this fast are held back";

    // A report held back is shown when its time is up, without another one.
    QElapsedTimer waited;
    waited.start();
    while (bar.value() != 500 && waited.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    EXPECT_EQ(bar.value(), 500);
    EXPECT_GE(waited.elapsed(), ProgressStrip::kShowEveryMs / 2);

    strip.show(QStringLiteral("Records received"), 501, 1000);
    strip.show(QStringLiteral("Records received"), 1000, 1000);
    pacer.showNow();
    EXPECT_EQ(bar.value(), 1000) << "the end of a transfer is not held back";
    strip.show(QStringLiteral("Selections sent"), 1, 3);
    pacer.showNow();
    EXPECT_EQ(bar.maximum(), 3) << "nor is the start of another";
    EXPECT_EQ(bar.value(), 1);

    // The bar is painted with the rest of the window, not at once by itself as its value moves.
    PaintCount paints;
    bar.installEventFilter(&paints);
    strip.show(QStringLiteral("Selections sent"), 3, 3);
    strip.applyPending();
    EXPECT_EQ(paints.paints, 0) << "the bar painted itself outside the window's paint";
    PaintNow::changes(window);
    EXPECT_EQ(paints.paints, 1);
    EXPECT_EQ(bar.value(), 3);
}

} // namespace
