#pragma once

#include <QByteArray>
#include <ostream>

// Shows a QByteArray in a failed expectation as text with CR and LF visible.
inline void PrintTo(const QByteArray& bytes, std::ostream* out) {
    *out << '"';
    for (const char c : bytes) {
        if (c == '\r')
            *out << "\\r";
        else if (c == '\n')
            *out << "\\n";
        else
            *out << c;
    }
    *out << '"';
}
