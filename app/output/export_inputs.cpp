#include "output/export_inputs.h"

#include <algorithm>
#include <cmath>

#include "data/measurement_data.h"

namespace qc {

namespace {

const QString kFerrous = QStringLiteral("FE");
const QString kNonFerrous = QStringLiteral("NF");
const QString kNonFerrousLong = QStringLiteral("NFE");

SpreadsheetStatistics Block(const Statistics& s, const QString& material)
{
    SpreadsheetStatistics b;
    b.material = material;
    b.count = s.StatCount;
    b.absolute = s.AbsoluteValues;
    b.minimum = b.absolute ? s.StatMinAbs : s.StatMin;
    b.maximum = b.absolute ? s.StatMaxAbs : s.StatMax;
    b.mean = b.absolute ? s.StatMeanAbs : s.StatMean;
    b.stdDev = b.absolute ? s.StatStdDevAbs : s.StatStdDev;
    b.verdict8020 = s.Verdict8020;
    return b;
}

// A trigger memory's block counts its pulses.
SpreadsheetStatistics PulseBlock(const Statistics& s, const PulseSeries& p)
{
    SpreadsheetStatistics b = Block(s, QString());
    b.count = static_cast<int>(std::min<size_t>(p.Values.size(), kMaxRows));
    double lo = INFINITY, hi = -INFINITY;
    for (size_t i = 0; i < static_cast<size_t>(b.count); ++i)
        if (std::isfinite(p.Values[i])) {
            lo = std::min(lo, p.Values[i]);
            hi = std::max(hi, p.Values[i]);
        }
    b.minimum = std::isfinite(lo) ? lo : 0;
    b.maximum = std::isfinite(hi) ? hi : 0;
    b.absolute = false;
    return b;
}

} // namespace

SpreadsheetInput SpreadsheetFromData(MeasurementData& data, const QString& reportHeader, int language,
                                     const QString& memoryName, const std::optional<PulseSeries>& trigger,
                                     bool withChart)
{
    SpreadsheetInput in;
    in.reportHeader = reportHeader;
    in.language = language;
    in.memoryName = memoryName;
    in.limits = data.limits;
    in.unit = data.state.CurrentUnit;
    in.profile = data.gauge.profile;
    in.locale = data.locale;
    in.unitsDiffer = data.statistics.UnitsDiffer;
    in.withChart = withChart && !in.unitsDiffer;
    in.chartTitle = data.statistics.Lines().value(0);
    for (int c = 0; c < 4; ++c)
        in.headerTexts[static_cast<size_t>(c)] = data.model.headerData(c, Qt::Horizontal).toString();
    if (trigger && data.state.TableMode == kMemorySlot) {
        in.trigger = trigger;
        in.unit = trigger->Unit;
        in.blocks.push_back(PulseBlock(data.statistics, *trigger));
        return in;
    }
    in.rows = data.table.Readings(data.state.TableMode);
    const Statistics::MaterialButtonState button = data.statistics.MaterialButton;
    if (!button.Visible) {
        in.blocks.push_back(Block(data.statistics, QString()));
        return in;
    }
    // The button names the material that is left out; the block names the one shown.
    const QString shown = button.Caption == kFerrous ? kNonFerrousLong
                          : button.Caption.contains(kNonFerrous) ? kFerrous
                                                                 : QString();
    in.blocks.push_back(Block(data.statistics, shown));
    const QString other = button.Caption == kFerrous ? kFerrous : kNonFerrous;
    data.SwitchMaterial();
    in.blocks.push_back(Block(data.statistics, other));
    in.chartTitle = data.statistics.Lines().value(0);
    return in;
}

ChartInput ChartFromData(const MeasurementData& data, int language, const std::optional<PulseSeries>& trigger)
{
    ChartInput in;
    in.rows = data.table.Readings(data.state.TableMode);
    if (trigger && data.state.TableMode == kMemorySlot)
        in.trigger = trigger;
    in.absoluteValues = data.statistics.AbsoluteValues;
    in.limits = data.limits;
    in.unit = data.state.CurrentUnit;
    in.stat = {data.statistics.StatMeanText, data.statistics.StatMinText, data.statistics.StatMaxText};
    in.decimalsCode = data.gauge.profile.ProfileFlag7;
    in.language = language;
    in.locale = data.locale;
    return in;
}

} // namespace qc
