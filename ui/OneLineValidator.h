#pragma once

#include <QString>
#include <QValidator>

class QLineEdit;

// Keeps a one-line field to one line, as one-line text boxes do: of whatever is typed, pasted,
// dropped or set into the field, only the text before the first CR or LF stays. Whatever the
// operator enters there goes into a command, where a line break would end the command early and
// send the rest as a command of its own.
//
// It may also limit what the operator types to a number of characters: typing and pasting stop
// at the limit, and the characters that do not fit are the last ones entered. Text the tool sets
// (a value the handheld reports) is shown whole, however long.
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
