#pragma once

#include <QString>
#include <QStringView>

namespace qc {

// Longest gauge number kept as it is in a file or folder name; real serial
// numbers are a handful of digits.
inline constexpr int kMaxGaugeNumberLength = 32;

// The gauge number as it may appear in a file or folder name. The number
// comes from the gauge, so it is untrusted, and two different numbers must
// never share a name:
// - a number of up to 32 ASCII letters, digits, '-', '_' and blanks is
//   kept exactly, so files written by a Windows installation are found:
//   "1234" -> "1234";
// - any other number is encoded behind a "~", which no kept number has:
//   every character outside letters, digits, '-' and blank becomes "_"
//   and four hex digits of its UTF-16 code: "12/34" -> "~12_002F34",
//   "12_34" stays "12_34", "../x" -> "~_002E_002E_002Fx";
// - an encoding longer than 64 characters becomes "~" and the SHA-256 of
//   the number's UTF-8 in hex (65 characters, so it never meets the above).
// The result is never empty, ".", ".." nor leaves the folder it is joined to.
QString SafeGaugeNumber(QStringView gaugeNumber);

} // namespace qc
