#include "tests/support/ScriptedMessageBoxes.h"

MessageBoxes::Answer ScriptedMessageBoxes::show(const QString& text, const QString& title,
                                                Icon icon, Buttons buttons) {
    m_shown.append({text, title.isEmpty() ? applicationTitle() : title, icon, buttons});
    if (m_whileOpen)
        m_whileOpen();
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
}

QStringList ScriptedMessageBoxes::texts() const {
    QStringList all;
    for (const Shown& s : m_shown)
        all << s.text;
    return all;
}
