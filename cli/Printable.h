#pragma once

#include <QString>

// Text for a terminal or a line-oriented file. Texts may carry what the handheld sent, so every
// control character (a line break, an escape that a terminal would act on) is written as \xNN,
// and a backslash as two, so that the text "\x0a" and a line break never print alike.
namespace Printable {

QString escaped(const QString& text);
// A number of seconds in words: "1 second", "30 seconds".
QString seconds(qint64 count);

} // namespace Printable
