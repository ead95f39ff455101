#include "cli/Printable.h"

namespace Printable {

QString escaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < 0x20 || (code >= 0x7f && code < 0xa0))
            out += QStringLiteral("\\x%1").arg(unsigned(code), 2, 16, QLatin1Char('0'));
        else if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else
            out += c;
    }
    return out;
}

QString seconds(qint64 count) {
    return count == 1 ? QStringLiteral("1 second") : QStringLiteral("%1 seconds").arg(count);
}

} // namespace Printable
