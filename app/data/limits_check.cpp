#include "data/limits_check.h"

#include "data/numbers.h"
#include "data/text_align.h"
#include "data/units.h"

namespace qc {

namespace {

constexpr int kCaptionValueWidth = 7;

QString FormatPattern(double value, int decimals, const QLocale& locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(RoundHalfEven(value, decimals), 'f', decimals);
}

} // namespace

QString LimitText(double value, const QLocale& locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(value, 'g', 15);
}

LimitEntry ValidateLimitEntry(const QString& boxText, const QLocale& locale)
{
    if (boxText.isEmpty() || boxText == u" ")
        return {LimitEntry::Empty, 0, boxText};
    const auto value = ParsePlainNumber(boxText, locale);
    if (!value)
        return {LimitEntry::NotNumeric, 0, boxText};
    if (*value < 0) {
        QString text = boxText;
        text.remove(u'-');
        return {LimitEntry::Negative, -*value, text};
    }
    return {LimitEntry::Number, *value, boxText};
}

std::vector<LimitMessage> CheckLimits(Limits& limits, bool rule8020Checked, const QLocale& locale)
{
    std::vector<LimitMessage> messages;
    if (rule8020Checked && limits.TargetValue == 0) {
        messages.push_back({limit_msg::kTargetRequired});
        return messages;
    }
    if (rule8020Checked && limits.MinLimit != limits.TargetValue * 80 / 100) {
        const double old = limits.MinLimit;
        limits.MinLimit = limits.TargetValue * 80 / 100;
        limits.MinLimitText = LimitText(limits.MinLimit, locale);
        messages.push_back({limit_msg::kMinAdjustedFrom, old, limits.MinLimit});
    }
    if (!rule8020Checked && limits.TargetValue != 0 &&
        (limits.TargetValue < limits.MinLimit || limits.TargetValue > limits.MaxLimit))
        messages.push_back({limit_msg::kTargetOutside});
    if (limits.MinLimit != 0 && limits.MaxLimit != 0 && limits.MinLimit > limits.MaxLimit)
        messages.push_back({limit_msg::kMinAboveMax});
    return messages;
}

QString LimitMessageText(const LimitMessage& message, const QString& keyText, const QString& toWord,
                         const QLocale& locale)
{
    if (message.key != limit_msg::kMinAdjustedFrom)
        return keyText;
    return keyText + LimitText(message.oldMin, locale) + u' ' + toWord + u' ' + LimitText(message.newMin, locale);
}

QString ShowLimitsCaption(const Limits& limits, const QString& modelCode, const QString& limitsWord,
                          const QLocale& locale)
{
    if (limits.MinLimit == 0 && limits.MaxLimit == 0 && limits.TargetValue == 0)
        return limitsWord;
    int decimals = 1; // "###0.0"
    if (GetDecimalsInt(limits.MinLimit) == 0 && GetDecimalsInt(limits.MaxLimit) == 0 &&
        GetDecimalsInt(limits.TargetValue) == 0)
        decimals = 0; // "###0"
    else if (modelCode.left(2) == u"ZP")
        decimals = 3; // "#0.000"
    auto field = [&](double v) { return RightAlign(kCaptionValueWidth, FormatPattern(v, decimals, locale)); };
    return u'>' + field(limits.MinLimit) + QStringLiteral("\r\n<") + field(limits.MaxLimit) + QStringLiteral("\r\n=") +
           field(limits.TargetValue);
}

} // namespace qc
