#pragma once

#include <QString>

class Controls;
class FileDialogs;

// The two "..." buttons of the "Data exchange" page, which fill the path fields from a file
// dialog. Both share one dialog that offers the path chosen last, in either of them, as its
// initial file name. A cancel changes nothing: neither the field nor the path offered next.
class FilePathChoice {
public:
    FilePathChoice(Controls& controls, FileDialogs& dialogs)
        : m_controls(controls), m_dialogs(dialogs) {}

    // `PfadSpeichernWaehlen`: the record file, in a save dialog, into `PfadSpeichern`.
    void chooseSavePath();
    // `PfadLadenWaehlen`: the selection file, in an open dialog, into `PfadLaden`.
    void chooseLoadPath();

private:
    Controls& m_controls;
    FileDialogs& m_dialogs;
    QString m_lastChosen;
};
