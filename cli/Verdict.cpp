#include "cli/Verdict.h"

#include <QRegularExpression>

bool Verdict::isFileFailure(const QString& text) {
    // The data file's own words, which the handlers pass on inside their messages.
    static const QRegularExpression kFile(
        QStringLiteral("The file .* cannot be opened|Writing the file |Reading the file |"
                       "No file name is given"));
    return kFile.match(text).hasMatch();
}

int Verdict::of(Step step, const PrintedBoxes::Shown& box, bool transferCutShort) {
    using Icon = MessageBoxes::Icon;
    if (box.title == QLatin1String("Connection lost"))
        return transferCutShort ? ExitCode::kIncomplete : ExitCode::kNoAnswer;
    switch (step) {
    case Step::Connect:
        // "Device does not respond." carries the error icon; every other failure to connect is
        // the port's (it cannot be opened or written).
        return box.icon == Icon::Error ? ExitCode::kNoAnswer : ExitCode::kPort;
    case Step::StatusQueries:
        return ExitCode::kFailure;
    case Step::Download:
        if (box.icon == Icon::Information || box.text == QLatin1String("There are no records "
                                                                       "present."))
            return ExitCode::kSuccess;
        if (isFileFailure(box.text))
            return ExitCode::kFile;
        if (transferCutShort)
            return ExitCode::kIncomplete;
        // Before the records are requested, the one warning says the handheld did not answer.
        return box.icon == Icon::Warning ? ExitCode::kNoAnswer : ExitCode::kFailure;
    case Step::Upload:
        if (box.icon == Icon::Information)
            return ExitCode::kSuccess;
        return isFileFailure(box.text) ? ExitCode::kFile : ExitCode::kIncomplete;
    case Step::Erase:
    case Step::Statistics:
    case Step::SetTime:
        return box.icon == Icon::Warning ? ExitCode::kNoAnswer : ExitCode::kFailure;
    case Step::Disconnect:
        return ExitCode::kNoAnswer;
    }
    return ExitCode::kFailure;
}
