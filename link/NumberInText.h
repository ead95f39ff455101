#pragma once

#include <QByteArray>
#include <optional>

// The decimal number at the start of a text the handheld sent: leading blanks are skipped, an
// optional sign, digits with an optional decimal point and an optional exponent are read, and
// reading stops at the first character that cannot continue the number. A text without a
// number reads as 0.
namespace NumberInText {

double read(const QByteArray& text);
// The same number, or nothing when the text holds none where read() looks.
std::optional<double> find(const QByteArray& text);

// The number rounded to the nearest whole number, a half to the even neighbour; nothing when
// the result does not fit the range given.
std::optional<qint64> rounded(double number, qint64 minimum, qint64 maximum);

} // namespace NumberInText
