#include "ui/OneLineValidator.h"

#include <QLineEdit>

namespace {

bool isLineBreak(QChar c) {
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

} // namespace

OneLineValidator::OneLineValidator(QLineEdit& field, int typedLimit)
    : QValidator(&field), m_field(field), m_typedLimit(typedLimit), m_before(field.text()) {
    connect(&field, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_before = text; });
    field.setValidator(this);
}

QValidator::State OneLineValidator::validate(QString& input, int& position) const {
    // The field's undo history holds the operator's edits since the tool last set its text, so
    // a text the tool sets (a value the handheld reports, a stored path) has none: it is shown
    // whole.
    if (!m_field.isUndoAvailable())
        return Acceptable;
    // What was just entered ends at the cursor; the field's own text stands before it and after
    // it. Only the entered part is cut at its first line break.
    const qsizetype end = qBound(qsizetype(0), qsizetype(position), input.size());
    const qsizetype kept = m_before.size() - (input.size() - end);
    qsizetype start = 0;
    while (start < end && start < kept && input.at(start) == m_before.at(start))
        ++start;
    for (qsizetype at = start; at < end; ++at) {
        if (isLineBreak(input.at(at))) {
            input.remove(at, end - at);
            position = static_cast<int>(at);
            break;
        }
    }
    if (m_typedLimit > 0 && input.size() > m_typedLimit) {
        // Of what was just entered, only what fits stays.
        const qsizetype entered = input.size() - m_before.size();
        const qsizetype excess = qMin(entered, input.size() - m_typedLimit);
        if (excess > 0 && position >= excess) {
            input.remove(position - excess, excess);
            position -= static_cast<int>(excess);
        }
    }
    return Acceptable;
}
