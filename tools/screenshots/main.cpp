// qv-screenshots: connects the real window to the simulated handheld and saves a picture of each
// of its four pages.
//
//   qv-screenshots [--out DIR] [--sim PATH]
//
// DIR defaults to "docs". The tool's settings live in a temporary folder for the run, with COM1
// mapped to the simulator's pseudo-terminal. Exits with 1 when the handheld cannot be reached or
// the tool shows a message box, since the pictures would then not show a working tool.

#include "platform/MessageBoxes.h"
#include "tests/support/WaitUntil.h"
#include "ui/Form1.h"
#include "ui/Tool.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

// Nothing should fail while the pictures are taken; a box would stop the run, so its text is
// kept for the report instead and the box answers "No" to any question.
class RecordedBoxes final : public MessageBoxes {
public:
    Answer show(const QString& text, const QString&, Icon, Buttons buttons) override {
        m_texts << text;
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    const QStringList& texts() const { return m_texts; }

private:
    QStringList m_texts;
};

void settle() {
    waitUntil([] { return false; }, 300);
}

int fail(const QString& why) {
    std::fprintf(stderr, "qv-screenshots: %s\n", qPrintable(why));
    return 1;
}

// Connects the window to the handheld on the first port; true once its serial number shows.
bool connectToHandheld(Tool& tool) {
    tool.controls().setCurrentIndex(Control::Port, 0);
    tool.window().connectButton().click();
    return waitUntil(
        [&] {
            return tool.link().replyMode() == ReplyMode::Idle &&
                   !tool.controls().text(Control::SNR).isEmpty();
        },
        10000);
}

// Saves a picture of each page into `out`, pressing the page's button first where it has one;
// 1 when a picture cannot be written, else 0.
int savePages(Tool& tool, const QDir& out) {
    // The online page is shown with a transponder read into its identification field.
    struct Page {
        const char* file;
        bool readId;
    };
    const Page pages[] = {
        {"page-online.png", true},
        {"page-control.png", false},
        {"page-configuration.png", false},
        {"page-data-exchange.png", false},
    };
    Form1& window = tool.window();
    int result = 0;
    for (int index = 0; index < 4; ++index) {
        const Page& page = pages[index];
        window.tabs().setCurrentIndex(index);
        if (page.readId) {
            window.button("ReadId").click();
            waitUntil([&] { return !tool.controls().text(Control::IDAnzeige).isEmpty(); }, 5000);
        }
        settle();
        const QString path = out.filePath(QString::fromLatin1(page.file));
        if (!window.grab().save(path))
            result = fail(QStringLiteral("cannot write %1").arg(path));
        else
            std::printf("%s\n", qPrintable(path));
    }
    return result;
}

// Runs the tool against the handheld, whose device COM1 names, and takes the pictures; returns
// the exit status.
int takePictures(const QDir& out) {
    RecordedBoxes boxes;
    Tool tool(&boxes);
    tool.start();
    Form1& window = tool.window();
    window.resize(window.sizeHint().expandedTo(QSize(860, 0)));
    const bool connected = connectToHandheld(tool);
    int result = connected
                     ? savePages(tool, out)
                     : fail(QStringLiteral("the tool did not connect to the simulated handheld"));
    if (!boxes.texts().isEmpty())
        result = fail(
            QStringLiteral("the tool showed: %1").arg(boxes.texts().join(QStringLiteral(" | "))));
    window.close();
    return result;
}

// Gives the tool settings of its own for the run, in which COM1 is the device.
bool writeSettings(const QTemporaryDir& home, const QByteArray& device) {
    QDir(home.path()).mkpath(QStringLiteral("Quorvelino"));
    QFile ini(home.filePath(QStringLiteral("Quorvelino/Quorvelino.ini")));
    if (!ini.open(QIODevice::WriteOnly) || ini.write("[Ports]\nCOM1=" + device + "\n") < 0)
        return false;
    ini.close();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvelino"));

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("out"), QStringLiteral("Folder for the pictures (default docs)."),
         QStringLiteral("DIR"), QStringLiteral("docs")},
        {QStringLiteral("sim"), QStringLiteral("The simulated handheld program."),
         QStringLiteral("PATH"), QStringLiteral(QV_SIM_PATH)},
    });
    parser.process(app);
    const QDir out(parser.value(QStringLiteral("out")));
    if (!out.exists() && !QDir().mkpath(out.path()))
        return fail(QStringLiteral("cannot create %1").arg(out.path()));

    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(parser.value(QStringLiteral("sim")),
              {QStringLiteral("--records"), QStringLiteral("25")});
    if (!sim.waitForReadyRead(5000))
        return fail(QStringLiteral("the simulated handheld did not start"));
    const QByteArray device = sim.readLine().trimmed();

    QTemporaryDir home;
    if (!writeSettings(home, device))
        return fail(QStringLiteral("cannot write the settings file"));

    const int result = takePictures(out);
    sim.terminate();
    if (!sim.waitForFinished(3000))
        sim.kill();
    return result;
}
