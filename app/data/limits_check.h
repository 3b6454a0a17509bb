#pragma once

#include <QLocale>
#include <QString>
#include <vector>

#include "data/limits.h"

namespace qc {

// Keys of the limit messages in MessageTexts.
namespace limit_msg {
inline constexpr int kNumericRequired = 25;
inline constexpr int kMinAboveMax = 35;
inline constexpr int kTargetOutside = 36;
inline constexpr int kLimitsCaption = 39;
inline constexpr int kOnlyPositive = 52;
inline constexpr int kTargetRequired = 57;
inline constexpr int kMinAdjustedFrom = 60;
inline constexpr int kMinAdjustedTo = 61;
} // namespace limit_msg

// Outcome of checking one limit text box when it loses the focus.
struct LimitEntry {
    enum Kind { Empty, NotNumeric, Negative, Number } kind;
    double value = 0; // the value taken (not for NotNumeric)
    QString text;     // the text taken: the box text, "-" removed when negative
};
LimitEntry ValidateLimitEntry(const QString& boxText, const QLocale& locale);

// The default text form of a limit: locale separator, no grouping,
// no superfluous zeros (100 -> "100", 12.5 -> "12,5").
QString LimitText(double value, const QLocale& locale);

// One message of the consistency check: a MessageTexts key, and for the
// 80/20 adjustment the old and the new minimum.
struct LimitMessage {
    int key;
    double oldMin = 0;
    double newMin = 0;
};

// The consistency check of the limits dialog. It may set the minimum to 80 %
// of the target (80/20 rule); no message undoes an entered value.
std::vector<LimitMessage> CheckLimits(Limits& limits, bool rule8020Checked, const QLocale& locale);

// The text of a message: "Min Limit  an 80/20 Regel angepasst von 50 nach 100".
QString LimitMessageText(const LimitMessage& message, const QString& keyText, const QString& toWord,
                         const QLocale& locale);

// Caption of the limits button: `limitsWord` when nothing is set, otherwise
// ">min" CR LF "<max" CR LF "=target", each right-aligned in 7.
QString ShowLimitsCaption(const Limits& limits, const QString& modelCode, const QString& limitsWord,
                          const QLocale& locale);

} // namespace qc
