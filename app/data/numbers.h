#pragma once

#include <QChar>
#include <QLocale>
#include <QStringView>
#include <optional>

namespace qc {

// Reads text by the leading-number rule: skip leading blanks, take the
// longest prefix that is a number (sign, digits, one decimal separator,
// exponent), 0 when there is none. "  12.5mm" -> 12.5, "abc" -> 0, "-.5" -> -0.5.
double LeadingNumber(QStringView text, QChar decimalSeparator = u'.');

// Rounds to `decimals` places, halves to the even digit: 2.5 -> 2, 3.5 -> 4,
// 0.125 at 2 places -> 0.12. Decimals outside 0..9 return the value unchanged.
double RoundHalfEven(double value, int decimals);

// Reads a whole text as one plain number: optional sign, digits with at
// most one decimal separator, optional exponent; blanks around it are
// allowed, group separators are not. The separator is the locale's or ".",
// so a file written under another locale still reads when it can only mean
// one value. "12,5" (German) -> 12.5, "12.5" -> 12.5, "1.000" (German) ->
// 1, "0,125" (English) -> nullopt, "1.000,5" -> nullopt, "nan" -> nullopt.
std::optional<double> ParsePlainNumber(QStringView text, const QLocale& locale);

} // namespace qc
