#include "ui/OneLineValidator.h"

#include <QLineEdit>

OneLineValidator::OneLineValidator(QLineEdit& field, int typedLimit)
    : QValidator(&field), m_field(field), m_typedLimit(typedLimit), m_before(field.text()) {
    connect(&field, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_before = text; });
    field.setValidator(this);
}

QValidator::State OneLineValidator::validate(QString& input, int& position) const {
    for (qsizetype at = 0; at < input.size(); ++at) {
        if (input.at(at) == QLatin1Char('\r') || input.at(at) == QLatin1Char('\n')) {
            input.truncate(at);
            position = qMin(position, static_cast<int>(at));
            break;
        }
    }
    // The field's undo history holds the operator's edits since the tool last set its text, so
    // a text the tool sets has none: it is shown whole.
    if (m_typedLimit > 0 && input.size() > m_typedLimit && m_field.isUndoAvailable()) {
        // What was just entered ends at the cursor; of it, only what fits stays.
        const qsizetype entered = input.size() - m_before.size();
        const qsizetype excess = qMin(entered, input.size() - m_typedLimit);
        if (excess > 0 && position >= excess) {
            input.remove(position - excess, excess);
            position -= static_cast<int>(excess);
        }
    }
    return Acceptable;
}
