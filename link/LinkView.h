#pragma once

#include <QByteArray>

// The two display fields the link feeds: the traffic log `Ausgabe` and the last-line field
// `Zeile`. Texts are the received bytes as they are (one byte per character, NUL kept).
class LinkView {
public:
    virtual ~LinkView() = default;

    // Set the log to the empty text and repaint it at once.
    virtual void clearLog() = 0;
    // Set the log to the given text and repaint it at once.
    virtual void replaceLog(const QByteArray& text) = 0;
    // Append at the end, bring the end into view and repaint at once.
    virtual void appendLog(const QByteArray& text) = 0;
    // Show the most recent complete reply line.
    virtual void setZeile(const QByteArray& line) = 0;
};
