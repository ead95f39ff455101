#pragma once

#include <QByteArray>

// The two display fields the link feeds: the traffic log `Ausgabe` and the last-line field
// `Zeile`. Texts are the received bytes as they are (one byte per character, NUL kept).
//
// What is appended and the line for `Zeile` reach the screen within a display frame, and in any
// case before a handler blocks in a pause, a message box or a file dialog: the window's own
// adapters for those bring the screen up to date first.
class LinkView {
public:
    virtual ~LinkView() = default;

    // Set the log to the empty text and repaint it at once.
    virtual void clearLog() = 0;
    // Set the log to the given text and repaint it at once.
    virtual void replaceLog(const QByteArray& text) = 0;
    // Append at the end and bring the end into view.
    virtual void appendLog(const QByteArray& text) = 0;
    // Show the most recent complete reply line.
    virtual void setZeile(const QByteArray& line) = 0;
};
