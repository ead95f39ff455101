#pragma once

#include "cli/Report.h"
#include "link/Outcome.h"

#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>

class HandlerSet;
class InputWatch;
class MemoryControls;
class Profile;

// Writes a profile to the connected handheld as the operator would with the window's buttons:
// sets the controls, runs the handler of each button the profile's settings need through the
// link's gate, and waits for the handheld's answers before the next button. Afterwards it starts
// the status queries again, and tells which settings the handheld refused or reads back
// otherwise.
class ProfileWriter {
public:
    // Turns the event loop until the condition holds; false when the run was stopped.
    using Wait = std::function<bool(const std::function<bool()>&)>;

    ProfileWriter(HandlerSet& handlers, MemoryControls& controls, InputWatch& watch, Wait wait,
                  int quietMs)
        : m_handlers(handlers), m_controls(controls), m_watch(watch), m_wait(std::move(wait)),
          m_quietMs(quietMs) {}

    // Writes every setting of the profile, then reads them back with readBack (which starts
    // nothing, but waits for the status queries sent here and tells their failure itself).
    // Done when the handheld took every setting. NoAnswer when it left a setting unanswered for
    // quietMs, ErrorAnswer when it answered one with something other than "Ok" or one reads
    // back otherwise: message() then says which. Any other outcome (the run stopped, the
    // connection lost, the status queries failed) is the run's to tell; message() is empty.
    Outcome apply(const Profile& profile, const std::function<bool()>& readBack);
    QString message() const { return m_message; }

private:
    struct Button;
    bool write(const Profile& profile);
    // Forgets the settings shown and sends the first status query, as the connect does; the
    // status chain then goes on by itself.
    void requery();
    // The settings written that the handheld answered with something other than "Ok", or that
    // read back otherwise, in one message; empty when it took them all.
    QString notTaken(const Report::Values& readBack) const;
    void setControls(const QJsonObject& settings);
    bool press(const Button& button);
    bool connected() const;

    HandlerSet& m_handlers;
    MemoryControls& m_controls;
    InputWatch& m_watch;
    Wait m_wait;
    int m_quietMs;
    QJsonObject m_sent;               // every setting as the controls held it when sent
    QStringList m_written;            // the settings of the buttons pressed
    QMap<QString, QString> m_refused; // setting: the answer that was not "Ok"
    QString m_message;
};
