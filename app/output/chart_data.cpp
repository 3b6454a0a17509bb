#include "output/chart_data.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "data/numbers.h"
#include "data/units.h"
#include "shell/texts.h"

namespace qc {

namespace {

constexpr int kStatMaximumKey = 2;
constexpr int kStatMinimumKey = 3;
constexpr int kStatAverageKey = 4;
constexpr int kStatTargetKey = 10;
constexpr int kStatDataKey = 13;
constexpr int kStatPulseTimeKey = 15;

const QString kMillimetre = QStringLiteral("mm");

// A unit and its thousandfold (or tenfold) sibling: value in `large` =
// value in `small` / factor. 1 mm = 1000 µm, 1 kOe = 1000 Oe,
// 1 kA/m = 10 A/cm.
struct UnitPair {
    const QString& large;
    const QString& small;
    double factor;
};

const std::array<UnitPair, 3>& UnitPairs()
{
    static const std::array<UnitPair, 3> pairs{{
        {kMillimetre, unit::Micrometre, 1000},
        {unit::KiloOersted, unit::Oersted, 1000},
        {unit::KiloAmperePerMetre, unit::AmperePerCm, 10},
    }};
    return pairs;
}

QString DefaultNumberText(const QLocale& locale, double value)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(value, 'g', QLocale::FloatingPointShortest);
}

int Decimals(const QString& code)
{
    const QString c = code.trimmed();
    if (c == u"1" || c == u"2" || c == u"3")
        return c.toInt();
    return 2;
}

std::vector<double> PlottedReadings(const std::vector<Reading>& rows, bool absolute, QString* unitOut)
{
    std::vector<double> values;
    const size_t n = std::min<size_t>(rows.size(), kMaxRows);
    values.reserve(n);
    QString reference;
    for (size_t i = 0; i < n; ++i) {
        const Reading& r = rows[i];
        if (r.IsEmpty())
            break;
        const QString u = NormaliseUnit(r.Unit.trimmed());
        if (i == 0)
            reference = u;
        double v = ConvertChartUnit(r.Value, u, reference).value_or(r.Value);
        values.push_back(absolute ? std::fabs(v) : v);
    }
    *unitOut = reference;
    return values;
}

// The values and, for readings, the limit and target lines, so a limit
// outside the readings stays in view. A trace keeps to its own values: the
// limits of the readings are of another quantity.
void SetRange(ChartModel& m)
{
    double lo = INFINITY;
    double hi = -INFINITY;
    for (const ChartColumn& c : m.columns) {
        if (m.trigger && c.kind != ChartColumnKind::Values)
            continue;
        for (double v : c.values)
            if (std::isfinite(v)) {
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
    }
    if (!std::isfinite(lo)) {
        m.yMinimum = 0;
        m.yMaximum = 1;
        return;
    }
    if (lo == hi) {
        // One level only: open the axis around it so the line is not on its edge.
        const double pad = lo != 0 ? std::fabs(lo) * 0.1 : 1;
        lo -= pad;
        hi += pad;
    }
    m.yMinimum = lo;
    m.yMaximum = hi;
}

QString Trimmed(const QString& s) { return s.trimmed(); }

void SetTexts(const ChartInput& in, ChartModel& m)
{
    const int lang = in.language;
    m.strokeLabel = chart::kMeanStroke;
    if (in.trigger) {
        const PulseSeries& p = *in.trigger;
        const QString unitText = p.Unit;
        const ChartColumn& v = m.columns.front();
        double lo = 0, hi = 0;
        if (!v.values.empty()) {
            lo = *std::min_element(v.values.begin(), v.values.end());
            hi = *std::max_element(v.values.begin(), v.values.end());
        }
        DeviceProfile profile;
        profile.ProfileFlag7 = in.decimalsCode;
        const QString maxText = Trimmed(FormatValue(hi, unitText, profile, in.locale).ValueText);
        const QString minText = Trimmed(FormatValue(lo, unitText, profile, in.locale).ValueText);
        m.meanBox = StatText(lang, kStatMaximumKey) + u' ' + maxText + chart::kLabelGap +
                    StatText(lang, kStatMinimumKey) + u' ' + minText;
        m.minMaxLabel = StatText(lang, kStatMaximumKey) + u' ' + maxText + u' ' + unitText + chart::kLabelGap +
                        StatText(lang, kStatMinimumKey) + u' ' + minText + u' ' + unitText;
        QLocale plain = in.locale;
        plain.setNumberOptions(QLocale::OmitGroupSeparator);
        const double pulse = std::isfinite(p.PulseTime) ? RoundHalfEven(p.PulseTime, Decimals(in.decimalsCode)) : 0;
        m.pulseTimeLabel = StatText(lang, kStatPulseTimeKey) + u' ' + plain.toString(pulse, 'f', 2) + chart::kMilliseconds;
        return;
    }
    m.meanBox = chart::kMeanDash + StatText(lang, kStatAverageKey) + in.stat.mean;
    m.meanLabel = StatText(lang, kStatAverageKey) + u' ' + Trimmed(in.stat.mean) + u' ' + in.unit;
    m.minMaxLabel = StatText(lang, kStatMaximumKey) + u' ' + Trimmed(in.stat.maximum) + u' ' + in.unit +
                    chart::kLabelGap + StatText(lang, kStatMinimumKey) + u' ' + Trimmed(in.stat.minimum) + u' ' +
                    in.unit;
}

} // namespace

const ChartColumn* ChartModel::Column(ChartColumnKind kind) const
{
    const auto it = std::find_if(columns.begin(), columns.end(), [kind](const ChartColumn& c) { return c.kind == kind; });
    return it == columns.end() ? nullptr : &*it;
}

std::optional<double> ConvertChartUnit(double value, const QString& from, const QString& to)
{
    const QString f = NormaliseUnit(from.trimmed());
    const QString t = NormaliseUnit(to.trimmed());
    if (f == t)
        return value;
    for (const UnitPair& p : UnitPairs()) {
        if (f == p.large && t == p.small)
            return value * p.factor;
        if (f == p.small && t == p.large)
            return value / p.factor;
    }
    return std::nullopt;
}

ChartModel BuildChartModel(const ChartInput& in)
{
    ChartModel m;
    ChartColumn values;
    values.kind = ChartColumnKind::Values;
    values.label = StatText(in.language, kStatDataKey);
    if (in.trigger) {
        m.trigger = true;
        m.unit = in.trigger->Unit;
        m.axisTitle = in.trigger->Unit;
        values.values = in.trigger->Values;
        if (values.values.size() > static_cast<size_t>(kMaxRows))
            values.values.resize(kMaxRows);
        if (in.absoluteValues)
            for (double& v : values.values)
                v = std::fabs(v);
    } else {
        values.values = PlottedReadings(in.rows, in.absoluteValues, &m.unit);
        m.axisTitle = m.unit.isEmpty() ? in.unit : m.unit;
    }
    m.pointCount = static_cast<int>(values.values.size());
    m.endLabel = chart::kBlankRowLabel + QString::number(m.pointCount);
    const size_t n = values.values.size();
    m.columns.push_back(std::move(values));

    const Limits& l = in.limits;
    if (l.TargetValue != 0)
        m.columns.push_back({ChartColumnKind::Target,
                             StatText(in.language, kStatTargetKey) + u' ' + DefaultNumberText(in.locale, l.TargetValue),
                             std::vector<double>(n, l.TargetValue)});
    if (l.MinLimit != 0 || l.MaxLimit != 0) {
        m.columns.push_back({ChartColumnKind::MinLimit, chart::kMinimumWord + DefaultNumberText(in.locale, l.MinLimit),
                             std::vector<double>(n, l.MinLimit)});
        m.columns.push_back({ChartColumnKind::MaxLimit, chart::kMaximumWord + DefaultNumberText(in.locale, l.MaxLimit),
                             std::vector<double>(n, l.MaxLimit)});
    }
    SetRange(m);
    SetTexts(in, m);
    return m;
}

ChartModel BarChartModel(const ChartModel& line)
{
    ChartModel bar = line;
    bar.columns.resize(std::min<size_t>(bar.columns.size(), 1));
    if (!bar.columns.empty())
        bar.columns.front().label = chart::kBarColumnLabel;
    SetRange(bar);
    return bar;
}

ChartPen EmbeddedPen(ChartColumnKind kind)
{
    switch (kind) {
    case ChartColumnKind::Values:
        return {QColor(0, 0, 153), 40, ChartPenStyle::Solid};
    case ChartColumnKind::Target:
        return {QColor(150, 0, 0), 10, ChartPenStyle::Dotted};
    case ChartColumnKind::MinLimit:
    case ChartColumnKind::MaxLimit:
        return {QColor(0, 130, 0), 10, ChartPenStyle::Dotted};
    }
    return {};
}

ChartPen WindowPen(ChartColumnKind kind)
{
    switch (kind) {
    case ChartColumnKind::Values:
        return {QColor(0, 0, 153), 35, ChartPenStyle::Solid};
    case ChartColumnKind::Target:
        return {QColor(150, 0, 0), 20, ChartPenStyle::Dotted};
    case ChartColumnKind::MinLimit:
    case ChartColumnKind::MaxLimit:
        return {QColor(0, 130, 0), 30, ChartPenStyle::Dotted};
    }
    return {};
}

} // namespace qc
