#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <optional>

// quorvelino-cli as a program, run as a script runs it: no display (neither DISPLAY nor
// WAYLAND_DISPLAY nor a Qt platform is set) and the settings folder of a simulated handheld.
class CliRun {
public:
    struct Result {
        int exitCode = -1; // -1 when the program crashed or did not end in time
        QByteArray out;
        QByteArray err;
    };

    explicit CliRun(const QString& configHome);
    ~CliRun();
    CliRun(const CliRun&) = delete;
    CliRun& operator=(const CliRun&) = delete;

    // Standard output goes to the file instead of being kept.
    void setOutputFile(const QString& path) { m_process.setStandardOutputFile(path); }

    void setEnvironment(const QString& name, const QString& value);

    // Standard input is a pipe that holds these bytes and then ends.
    void setInput(const QByteArray& bytes) { m_input = bytes; }

    // Runs the program to its end.
    Result run(const QStringList& arguments, int timeoutMs = 60000);

    // Starts the program and returns at once; finish() waits for its end.
    void start(const QStringList& arguments);
    // Sends the signal Ctrl+C sends.
    void interrupt();
    // Ends the program as SIGKILL does: it cannot say goodbye to the handheld.
    void kill();
    Result finish(int timeoutMs);

private:
    QProcess m_process;
    std::optional<QByteArray> m_input;
};
