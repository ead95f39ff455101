#pragma once

#include "platform/MessageBoxes.h"

#include <QList>
#include <functional>

// Message boxes that record what they show and answer from a script (Yes and Ok by default).
class ScriptedMessageBoxes final : public MessageBoxes {
public:
    struct Shown {
        QString text;
        QString title; // as the operator sees it: the application title when none was given
        Icon icon;
        Buttons buttons;
    };

    Answer show(const QString& text, const QString& title, Icon icon, Buttons buttons) override;

    void answerNext(Answer answer) { m_answers.append(answer); }
    // Runs while a box is open, as the nested event loop of a modal box would.
    void whileOpen(std::function<void()> action) { m_whileOpen = std::move(action); }

    const QList<Shown>& shown() const { return m_shown; }
    QStringList texts() const;
    void clear() { m_shown.clear(); }

private:
    QList<Shown> m_shown;
    QList<Answer> m_answers;
    std::function<void()> m_whileOpen;
};
