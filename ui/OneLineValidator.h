#pragma once

#include <QString>
#include <QValidator>

class QLineEdit;

// Keeps what the operator enters in a one-line field to one line: of whatever is typed, pasted
// or dropped, only the part before its first CR or LF is inserted, and the field's own text
// around it stays. Whatever the operator enters there goes into a command, where a line break
// would end the command early and send the rest as a command of its own.
//
// It may also limit what the operator types to a number of characters: typing and pasting stop
// at the limit, and the characters that do not fit are the last ones entered. Text the tool sets
// (a value the handheld reports, a path from the settings) is shown whole, however long and
// whatever it holds.
class OneLineValidator final : public QValidator {
    Q_OBJECT

public:
    // Watches `field`, which takes the validator; typedLimit 0 means no limit.
    explicit OneLineValidator(QLineEdit& field, int typedLimit = 0);

    State validate(QString& input, int& position) const override;

private:
    QLineEdit& m_field;
    int m_typedLimit;
    // The text the field showed before the change being validated.
    QString m_before;
};
