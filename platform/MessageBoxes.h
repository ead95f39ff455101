#pragma once

#include <QString>

// Modal message boxes. A box without a title of its own shows the application title.
class MessageBoxes {
public:
    enum class Icon { None, Error, Warning, Information, Question };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    static QString applicationTitle() { return QStringLiteral("QuorvelinoTool"); }

    virtual ~MessageBoxes() = default;
    // An empty title means the application title.
    virtual Answer show(const QString& text, const QString& title, Icon icon, Buttons buttons) = 0;
};
