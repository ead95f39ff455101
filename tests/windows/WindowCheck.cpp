// qv-window-check: the Windows window on the handheld at COM1, as an operator uses it: starts,
// names COM1 once in its tool tip, connects, reads out the records into RECORDS and saves a
// picture of the window in PICTURE.
// packaging/windows/check-wine runs it under Wine and Xvfb.
//
//   qv-window-check RECORDS PICTURE
//
// Exits with 1, saying why, when a step does not come about.

#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/WaitUntil.h"
#include "ui/Form1.h"
#include "ui/PortBox.h"
#include "ui/Tool.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTabWidget>
#include <cstdio>

namespace {

int fail(const QString& why) {
    std::fprintf(stderr, "qv-window-check: %s\n", qPrintable(why));
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    Tool::prepareApplication();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvelino"));
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3)
        return fail(QStringLiteral("usage: qv-window-check RECORDS PICTURE"));

    ScriptedMessageBoxes boxes;
    Tool tool(&boxes);
    tool.start();
    tool.controls().setCurrentIndex(Control::Port, 0);
    const QString tip = tool.window().port().toolTip();
    if (tip != QStringLiteral("COM1 (present)"))
        return fail(QStringLiteral("COM1's tool tip reads \"%1\"").arg(tip));
    tool.window().connectButton().click();
    if (!waitUntil(
            [&] {
                return tool.link().replyMode() == ReplyMode::Idle &&
                       !tool.controls().text(Control::SNR).isEmpty();
            },
            15000))
        return fail(QStringLiteral("the window did not connect to COM1"));
    std::printf("Connected: serial number %s\n", qPrintable(tool.controls().text(Control::SNR)));

    tool.window().tabs().setCurrentIndex(3);
    tool.controls().setText(Control::PfadSpeichern, arguments.at(1));
    tool.window().button("LeseErfassungen").click();
    if (!waitUntil([&] { return !boxes.shown().isEmpty(); }, 60000))
        return fail(QStringLiteral("the records did not arrive"));
    const QStringList expected{QStringLiteral("Transfer of records finished.")};
    if (boxes.texts() != expected)
        return fail(
            QStringLiteral("the window said: %1").arg(boxes.texts().join(QLatin1Char('|'))));
    std::printf("Records read out into %s\n", qPrintable(arguments.at(1)));

    waitUntil([] { return false; }, 300);
    if (!tool.window().grab().save(arguments.at(2)))
        return fail(QStringLiteral("cannot write %1").arg(arguments.at(2)));
    tool.window().close();
    return 0;
}
