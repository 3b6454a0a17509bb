#pragma once

#include <QString>
#include <QStringView>

namespace qc {

// Longest gauge number kept in a file or folder name; real serial numbers
// are a handful of digits.
inline constexpr int kMaxGaugeNumberLength = 32;

// The gauge number as it may appear in a file or folder name. The number
// comes from the gauge, so it is untrusted: every character other than
// ASCII letters, digits, '-', '_' and the blank becomes '_' (path
// separators, dots, control characters, anything else), and it is cut to
// 32 characters. "../../x" -> "______x", "12/34" -> "12_34", "1234" -> "1234".
// The result can never be "." or ".." nor leave the folder it is joined to.
QString SafeGaugeNumber(QStringView gaugeNumber);

} // namespace qc
