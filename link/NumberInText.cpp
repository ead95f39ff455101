#include "link/NumberInText.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Numbers in the handheld's text always have a decimal point, whatever the desktop's language:
// strtod follows the locale, and would read "2.6" as 2 under a German one.
#ifdef Q_OS_WIN
double readInCLocale(const std::string& number) {
    static const _locale_t c = ::_create_locale(LC_ALL, "C");
    return ::_strtod_l(number.c_str(), nullptr, c);
}
#else
double readInCLocale(const std::string& number) {
    static const locale_t c = ::newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return ::strtod_l(number.c_str(), nullptr, c);
}
#endif

} // namespace

namespace NumberInText {

double read(const QByteArray& text) {
    return find(text).value_or(0.0);
}

std::optional<double> find(const QByteArray& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text.at(i) == ' ' || text.at(i) == '\t'))
        ++i;
    std::string number;
    if (i < n && (text.at(i) == '+' || text.at(i) == '-'))
        number += text.at(i++);
    bool digits = false;
    while (i < n && isDigit(text.at(i))) {
        number += text.at(i++);
        digits = true;
    }
    if (i < n && text.at(i) == '.') {
        number += text.at(i++);
        while (i < n && isDigit(text.at(i))) {
            number += text.at(i++);
            digits = true;
        }
    }
    if (!digits)
        return std::nullopt;
    // An exponent counts only when at least one digit follows it.
    if (i < n && (text.at(i) == 'e' || text.at(i) == 'E')) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < n && (text.at(j) == '+' || text.at(j) == '-'))
            exponent += text.at(j++);
        if (j < n && isDigit(text.at(j))) {
            while (j < n && isDigit(text.at(j)))
                exponent += text.at(j++);
            number += exponent;
        }
    }
    return readInCLocale(number);
}

std::optional<qint64> rounded(double number, qint64 minimum, qint64 maximum) {
    const double whole = std::nearbyint(number); // the default rounding mode: half to even
    // 2^63 is the first whole number past every qint64; the largest bound rounds up to it as a
    // double, so a number that reaches it must be refused here.
    constexpr double kPastLargest = 9223372036854775808.0;
    if (!std::isfinite(whole) || whole < static_cast<double>(minimum) ||
        whole > static_cast<double>(maximum) || whole >= kPastLargest)
        return std::nullopt;
    return static_cast<qint64>(whole);
}

} // namespace NumberInText
