#pragma once

#include <QChar>
#include <QStringView>

namespace qc {

// Reads text by the leading-number rule: skip leading blanks, take the
// longest prefix that is a number (sign, digits, one decimal separator,
// exponent), 0 when there is none. "  12.5mm" -> 12.5, "abc" -> 0, "-.5" -> -0.5.
double LeadingNumber(QStringView text, QChar decimalSeparator = u'.');

// Rounds to `decimals` places, halves to the even digit: 2.5 -> 2, 3.5 -> 4,
// 0.125 at 2 places -> 0.12. Decimals outside 0..9 return the value unchanged.
double RoundHalfEven(double value, int decimals);

} // namespace qc
