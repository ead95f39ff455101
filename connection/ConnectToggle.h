#pragma once

#include "link/Outcome.h"

#include <QString>
#include <QStringList>

class Controls;
class DataFile;
class Link;

// The connect toggle: checking it opens the chosen port, greets the handheld with "ONLINE" until
// it answers "Ok", enables the four pages and starts the status chain; unchecking it says
// "DISCONNECT", closes the port and returns the window to its unconnected state.
//
// The handler runs on every change of the toggle's state, the tool's own changes included: the
// uncheck after a failed handshake runs it again, nested, to disconnect.
class ConnectToggle {
public:
    ConnectToggle(Link& link, Controls& controls, DataFile& dataFile)
        : m_link(link), m_controls(controls), m_dataFile(dataFile) {}

    // The toggle's click handler. A connect ends Done once the handheld has answered (the status
    // chain then goes on by itself), PortFailure or NoAnswer; a disconnect ends Done, or PortLost
    // when the handheld could not be told.
    Outcome toggled();
    // The port was lost while open (adapter pulled, device gone): tell the operator once and go
    // to the unconnected state without writing to the port. The message also says what the loss
    // cut short: the notes given, and those the handlers left with the link.
    void portLost(const QString& why, const QStringList& interrupted = {});

    bool suppressingNextClick() const { return m_suppressConnectClick; }

private:
    // The pause before each "ONLINE", the pause after a failed attempt, and the wait after "Ok".
    static constexpr int kAttempts = 5;
    static constexpr int kBeforeAttemptMs = 200;
    static constexpr int kAfterFailedAttemptMs = 50;
    static constexpr int kAfterOkMs = 1000;

    enum class Handshake { Answered, Silent, WriteFailed };

    bool openChosenPort(QString* failure);
    Handshake handshake();
    void setFramesEnabled(bool enabled);
    // After the greeting's pause: finishes its "Ok" line when the handshake's read ended inside it.
    void finishGreetingLine(const QByteArray& unfinished);
    // The unconnected state: frames off, caption, toggle unchecked, reply mode, data file, battery.
    void becomeUnconnected();
    // Closes the port and goes to the unconnected state without a word to the handheld.
    void dropConnection();
    // A failure inside the handler: the message, then the toggle unchecked without a disconnect.
    Outcome fail(const QString& description);
    QString portDescription() const;

    Link& m_link;
    Controls& m_controls;
    DataFile& m_dataFile;
    bool m_suppressConnectClick = false;
};
