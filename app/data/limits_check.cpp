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

QString Rule8020InfoText(int language)
{
    static const char* const kGerman[] = {
        "Die 80/20 Regel nach ISO 19840 :",
        "1) Der Mittelwert aller Me\u00DFwerte mu\u00DF gleich oder gr\u00F6\u00DFer dem eingegeben Sollwert(NDFT) "
        "sein.",
        "2) Jeder gemessene Wert muss mindestens 80% des Sollwerts sein. Min Limit = 80% vom Sollwert",
        "3) Maximal 20 % aller Werte d\u00FCrfen in einem Bereich zwischen MinLimit und Sollwert liegen",
        "4) Jeder Wert muss kleiner oder gleich dem Max Limit sein",
        "",
        "Kennzeichnung in Tabelle:  Wert ok = gr\u00FCn, Wert h\u00F6her Max oder unter Min = red, Wert zwischen 80 "
        "and "
        "100% = orange",
    };
    static const char* const kEnglish[] = {
        "The 80/20 rule according to ISO 19840 :",
        "1) The arithmetic mean value has to be equal or higher than the target Value(NDFT Nominal Dry Film "
        "Thickness)",
        "2) Each value has to be minimun 80% of the Target Value, Min Limit = 80% of target Limit",
        "3) Maximum 20 % of all values are allowed to be between Min Limit and Target Value",
        "4) Each value has to be less or equal than Max Limit",
        "",
        "Appearance in table: value ok = green, value higher max or lower Min = red, value between 80 and 100% = "
        "orange",
    };
    QString text;
    for (const char* line : language == 1 ? kEnglish : kGerman)
        text += QString::fromUtf8(line) + QStringLiteral("\r\n");
    return text;
}

} // namespace qc
