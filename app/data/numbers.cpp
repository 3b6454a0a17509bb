#include "data/numbers.h"

#include <cfenv>
#include <cmath>
#include <string>

namespace qc {

namespace {

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

} // namespace

double LeadingNumber(QStringView text, QChar decimalSeparator)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;

    std::string number;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        number += static_cast<char>(text[i++].unicode());

    bool anyDigit = false;
    while (i < n && IsDigit(text[i])) {
        number += static_cast<char>(text[i++].unicode());
        anyDigit = true;
    }
    if (i < n && text[i] == decimalSeparator) {
        ++i;
        number += '.';
        while (i < n && IsDigit(text[i])) {
            number += static_cast<char>(text[i++].unicode());
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0.0;

    // An exponent counts only when digits follow it: "2e3" -> 2000, "2e" -> 2.
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            exponent += static_cast<char>(text[j++].unicode());
        if (j < n && IsDigit(text[j])) {
            while (j < n && IsDigit(text[j]))
                exponent += static_cast<char>(text[j++].unicode());
            number += exponent;
        }
    }
    const double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}

double RoundHalfEven(double value, int decimals)
{
    if (decimals < 0 || decimals > 9 || !std::isfinite(value))
        return value;
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    if (!std::isfinite(scaled))
        return value;
    // nearbyint follows the current rounding mode, which is round-to-nearest-even
    // unless someone changed it; make sure of it for this call.
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(scaled) / scale;
    std::fesetround(previous);
    return rounded == 0.0 ? 0.0 : rounded; // no "-0"
}

namespace {

// The number in C form when `text` is a plain number with `separator` as
// its decimal separator; empty otherwise.
std::string PlainNumberInCForm(QStringView text, QChar separator)
{
    std::string number;
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        number += static_cast<char>(text[i++].unicode());
    bool digits = false;
    while (i < n && IsDigit(text[i])) {
        number += static_cast<char>(text[i++].unicode());
        digits = true;
    }
    if (i < n && text[i] == separator) {
        ++i;
        number += '.';
        while (i < n && IsDigit(text[i])) {
            number += static_cast<char>(text[i++].unicode());
            digits = true;
        }
    }
    if (!digits)
        return {};
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        number += 'e';
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            number += static_cast<char>(text[i++].unicode());
        bool exponentDigits = false;
        while (i < n && IsDigit(text[i])) {
            number += static_cast<char>(text[i++].unicode());
            exponentDigits = true;
        }
        if (!exponentDigits)
            return {};
    }
    return i == n ? number : std::string();
}

} // namespace

std::optional<double> ParsePlainNumber(QStringView text, const QLocale& locale)
{
    const QStringView trimmed = text.trimmed();
    const QString point = locale.decimalPoint();
    const QChar separator = point.size() == 1 ? point.at(0) : QChar(u'.');
    std::string number = PlainNumberInCForm(trimmed, separator);
    if (number.empty() && separator != u'.')
        number = PlainNumberInCForm(trimmed, u'.');
    if (number.empty())
        return std::nullopt;
    const double value = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace qc
