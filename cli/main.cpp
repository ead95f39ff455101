// quorvelino-cli: the command-line front end of Quorvelino Tool. It runs the window's handlers
// without a display, for scripts, cron jobs and systemd timers; see --help.

#include "cli/CommandLine.h"
#include "cli/ExitCode.h"
#include "cli/Interruption.h"
#include "cli/Report.h"
#include "cli/Session.h"

#include <QCoreApplication>
#include <cstdio>
#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char* argv[]) {
    Interruption::catchSignals();
#ifdef Q_OS_WIN
    // Records and selections pass through the standard streams byte for byte, CR LF as they are.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvelino-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QV_VERSION));

    CommandLine::Request request;
    QString error;
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (!CommandLine::parse(arguments, &request, &error)) {
        std::fprintf(stderr, "quorvelino-cli: %s\n%s\n", error.toLocal8Bit().constData(),
                     CommandLine::usageHint().toLocal8Bit().constData());
        // A script that asked for JSON gets JSON, even when it asked wrongly.
        if (arguments.contains(QLatin1String("--json")))
            std::fputs(Report::failure({error}, ExitCode::kUsage).toLocal8Bit().constData(),
                       stdout);
        return ExitCode::kUsage;
    }
    switch (request.command) {
    case CommandLine::Command::Help:
        std::fputs(CommandLine::helpText(request.helpTopic).toLocal8Bit().constData(), stdout);
        return ExitCode::kSuccess;
    case CommandLine::Command::Version:
        std::printf("quorvelino-cli %s\n", QV_VERSION);
        return ExitCode::kSuccess;
    default:
        break;
    }
    Session session(request);
    const int code = session.run();
    // A failure to write standard output is not written there again.
    if (code != ExitCode::kSuccess && request.json && !std::ferror(stdout))
        std::fputs(Report::failure(session.messages(), code).toLocal8Bit().constData(), stdout);
    return code;
}
