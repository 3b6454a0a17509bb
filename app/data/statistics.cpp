#include "data/statistics.h"

#include <algorithm>
#include <cmath>

#include "data/numbers.h"
#include "data/text_align.h"
#include "data/units.h"

namespace qc {

namespace {

const QString kStatUnit = QStringLiteral("Stat");
const QString kOnlineHeading = QStringLiteral("Online");
const QString kFerrous = QStringLiteral("FE");
const QString kNonFerrous = QStringLiteral("NF");
const QString kNonFerrousLong = QStringLiteral("NFE");

// Characters from the decimal separator to the end of the trimmed text;
// 0 without a separator (it would stand right after the last digit).
int SeparatorFromEnd(const QString& text, QChar separator)
{
    const QString t = text.trimmed();
    const qsizetype at = t.indexOf(separator);
    return at < 0 ? 0 : static_cast<int>(t.size() - at);
}

QString LabelValueLine(const QString& label, const QString& value)
{
    return label.leftJustified(kStatLabelWidth, u' ') + RightAlign(kStatValueWidth, value);
}

} // namespace

QString StatisticsValueLine(const QString& label, const QString& valueText, const QString& minimumText,
                            const QString& unit, QChar decimalSeparator)
{
    const int shift = SeparatorFromEnd(valueText, decimalSeparator) - SeparatorFromEnd(minimumText, decimalSeparator);
    const int padding = std::max(0, kStatLabelWidth - static_cast<int>(label.size()) + shift);
    const int gap = std::max(0, kStatUnitGap - shift);
    return label + QString(padding, u' ') + RightAlign(kStatValueWidth, valueText) + QString(gap, u' ') + unit;
}

QString MemoryCaption(const QString& profileClass, const QString& memoryWord, const QString& selectorText,
                      const QString& fileComment, int memoryNumber)
{
    const QString cls = profileClass.trimmed();
    if (cls == u"1")
        return memoryWord;
    if (cls == u"5")
        return memoryWord + u' ' + selectorText.trimmed() + QStringLiteral(" (") + fileComment + u')';
    return memoryWord + u' ' + QString::number(memoryNumber);
}

void Statistics::ResetValues()
{
    StatSum = StatSumAbs = StatSumSq = 0;
    StatMean = StatMeanAbs = StatStdDev = 0;
    StatMin = StatMinAbs = kStatMinStart;
    StatMax = StatMaxAbs = kStatMaxStart;
    StatStdText = QStringLiteral(" ");
    StatCount = 0;
    BandCount = 0;
    BandPercent = 0;
    OutOfLimits = false;
    FirstUnit.clear();
    UnitsDiffer = false;
    lines_.clear();
    textsStale_ = false;
}

void Statistics::Reset()
{
    ResetValues();
    MaterialButton.Visible = false;
}

void Statistics::SwitchMaterial(const QString& profileClass)
{
    if (MaterialButton.Caption != kFerrous)
        MaterialButton.Caption = kFerrous;
    else
        MaterialButton.Caption = profileClass.trimmed() == u"5" ? kNonFerrous : kNonFerrousLong;
}

void Statistics::TakeFirstMaterial(const QString& material)
{
    StatMaterial = material;
    if (StatMaterial.contains(kNonFerrous)) {
        StatMaterial = kNonFerrous;
        if (!MaterialButton.Visible)
            MaterialButton.Caption = kFerrous;
    }
    if (StatMaterial.contains(kFerrous)) {
        StatMaterial = kFerrous;
        if (!MaterialButton.Visible)
            MaterialButton.Caption = kNonFerrous;
    }
}

bool Statistics::LeftOut(const QString& material) const
{
    return MaterialButton.Visible && material.left(2).contains(MaterialButton.Caption.left(2));
}

void Statistics::AddValue(double x)
{
    StatSum += x;
    StatSumAbs += std::fabs(x);
    StatSumSq += x * x;
    StatMin = std::min(StatMin, x);
    StatMax = std::max(StatMax, x);
    if (AbsoluteValues) {
        StatMinAbs = std::min(StatMinAbs, std::fabs(x));
        StatMaxAbs = std::max(StatMaxAbs, std::fabs(x));
    }
    const double n = StatCount;
    StatMean = StatSum / n;
    StatMeanAbs = StatSumAbs / n;
    if (StatCount > 1) {
        // Sample standard deviation by the sum of squares; rounding noise
        // that makes the variance negative gives 0.
        auto deviation = [n](double sumSq, double sum) {
            const double variance = (sumSq - sum * sum / n) / (n - 1);
            return variance < 0 ? 0.0 : std::sqrt(variance);
        };
        if (AbsoluteValues)
            StatStdDevAbs = deviation(StatSumSq, StatSumAbs);
        else
            StatStdDev = deviation(StatSumSq, StatSum);
    }
}

void Statistics::Evaluate8020(double x, const Limits& limits)
{
    MeanBelowTarget = StatMean < limits.TargetValue;
    if (limits.MinLimit >= 0 && x < limits.MinLimit)
        OutOfLimits = true;
    if (limits.MaxLimit >= 0 && x > limits.MaxLimit)
        OutOfLimits = true;
    const double lower = limits.TargetValue - limits.TargetValue * 20 / 100;
    if (lower <= x && x < limits.TargetValue)
        ++BandCount;
    BandPercent = static_cast<double>(BandCount) / StatCount * 100;
    BandExceeded = BandPercent > 20;
}

void Statistics::Accumulate(double value, const QString& unit, const QString& material,
                            const StatisticsContext& context)
{
    AbsoluteValues = true;
    if (StatCount == 0)
        TakeFirstMaterial(material);
    const bool twoMaterials = context.ModelGroup == kModelGroupTwoMaterials;
    if (twoMaterials) {
        MaterialButton.Visible = true;
        MaterialLabel = MaterialButton.Caption == kFerrous ? kNonFerrousLong : kFerrous;
        const QString head = context.SelectedMemoryName.left(2);
        if (head.contains(u't') || head.contains(u's'))
            MaterialButton.Visible = false;
    }
    if (twoMaterials && LeftOut(material))
        return;

    ++StatCount;
    double x = value;
    if (context.profile.ProfileRule == u"+")
        x = std::fabs(x);
    if (FirstUnit.isEmpty())
        FirstUnit = unit;
    if (unit != FirstUnit)
        UnitsDiffer = true;
    AddValue(x);
    if (context.limits.Rule8020)
        Evaluate8020(x, context.limits);
    lastUnit_ = unit;
    context_ = context;
    textsStale_ = true;
}

const QStringList& Statistics::Lines()
{
    if (textsStale_) {
        textsStale_ = false;
        BuildTexts();
        BuildLines(context_);
    }
    return lines_;
}

// The minimum and maximum are shown in the unit of the last reading.
void Statistics::BuildTexts()
{
    const DeviceProfile& profile = context_.profile;
    const QLocale& locale = context_.locale;
    StatMinText = FormatValue(AbsoluteValues ? StatMinAbs : StatMin, lastUnit_, profile, locale).ValueText;
    StatMaxText = FormatValue(AbsoluteValues ? StatMaxAbs : StatMax, lastUnit_, profile, locale).ValueText;
    StatMeanText = FormatValue(AbsoluteValues ? StatMeanAbs : StatMean, kStatUnit, profile, locale).ValueText;
    if (StatCount > 1)
        StatStdText = FormatValue(AbsoluteValues ? StatStdDevAbs : StatStdDev, kStatUnit, profile, locale).ValueText;
}

void Statistics::BuildLines(const StatisticsContext& context)
{
    const StatisticsTexts& t = context.texts;
    lines_.clear();
    lines_ << (context.OnlineTable ? kOnlineHeading : context.MemoryCaption) << QStringLiteral(" ");
    QString title = MaterialLabel.isEmpty() ? t.Title : MaterialLabel + u' ' + t.Title;
    if (context.profile.ProfileRule == u"-" && AbsoluteValues)
        title += t.Abs;
    lines_ << title;

    if (UnitsDiffer) {
        lines_ << t.NotPossible[0] << t.NotPossible[1] << t.NotPossible[2];
        return;
    }
    const QString gap(kStatUnitGap, u' ');
    lines_ << LabelValueLine(t.Count, QString::number(StatCount));
    lines_ << LabelValueLine(t.Minimum, StatMinText) + gap + FirstUnit;
    lines_ << LabelValueLine(t.Maximum, StatMaxText) + gap + FirstUnit;
    if (StatCount > 1) {
        const QChar separator = context.locale.decimalPoint().at(0);
        lines_ << StatisticsValueLine(t.Average, StatMeanText, StatMinText, FirstUnit, separator);
        lines_ << StatisticsValueLine(t.StdDev, StatStdText, StatMinText, FirstUnit, separator);
    }
    if (context.limits.Rule8020) {
        Verdict8020 = (OutOfLimits || BandExceeded || MeanBelowTarget) ? t.No : t.Yes;
        lines_ << t.Rule8020 + u' ' + Verdict8020 + u' ' + QString::number(RoundHalfEven(BandPercent, 0)) +
                      QStringLiteral(" %");
    }
}

} // namespace qc
