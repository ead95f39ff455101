#pragma once

#include <QString>

// What Windows says of one of its error codes (GetLastError()), in the system's own words.
class WinSystemError {
public:
    static QString text(unsigned long error);
};
