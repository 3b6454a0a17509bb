#include <algorithm>
#include <cmath>

#include "data/numbers.h"
#include "data/units.h"
#include "output/spreadsheet_export.h"
#include "shell/texts.h"

namespace qc {

namespace {

constexpr int kDataSheetKey = 20; // MessageTexts "Messwerte" / "Data"
constexpr int kStatCountKey = 1;
constexpr int kStatMaximumKey = 2;
constexpr int kStatMinimumKey = 3;
constexpr int kStatAverageKey = 4;
constexpr int kStatStdDevKey = 5;
constexpr int kStatTitleKey = 6;
constexpr int kStatNotPossibleFirstKey = 7; // 7, 8, 9
constexpr int kStatTargetKey = 10;
constexpr int kStatAbsKey = 11;
constexpr int kStatDataKey = 13;
constexpr int kStatRuleKey = 14;
constexpr int kStatPulseTimeKey = 15;
constexpr int kStatDurationKey = 17;
constexpr int kStdDevFromCount = 3; // the standard deviation needs more than two readings

// Decimals of the statistics values; nullopt for a code other than 1..3
// (the value is then written as it is).
std::optional<int> StatDecimals(const DeviceProfile& profile)
{
    const QString c = profile.ProfileFlag7.trimmed();
    if (c == u"1" || c == u"2" || c == u"3")
        return c.toInt();
    return std::nullopt;
}

double Rounded(double value, std::optional<int> decimals)
{
    return decimals ? RoundHalfEven(value, *decimals) : value;
}

class Sheet {
public:
    explicit Sheet(SheetPlan& plan)
        : plan_(plan)
    {
    }
    void Text(int row, int column, const QString& text)
    {
        plan_.cells.push_back({row, column, text, CellFormat::Font});
    }
    void Number(int row, int column, double value, CellFormat format)
    {
        plan_.cells.push_back({row, column, value, format});
    }

private:
    SheetPlan& plan_;
};

// Writes one block from `row` on; returns the row after it.
int StatisticsBlock(const SpreadsheetInput& in, const SpreadsheetStatistics& s, int row, SheetPlan& plan)
{
    Sheet sheet(plan);
    const int lang = in.language;
    QString title = StatText(lang, kStatTitleKey) + u' ' + in.memoryName;
    if (s.absolute)
        title += u' ' + StatText(lang, kStatAbsKey);
    if (!s.material.isEmpty())
        title = s.material + u' ' + title;
    sheet.Text(row++, xlsx::kColumnA, title);

    if (in.unitsDiffer) {
        for (int k = 0; k < 3; ++k)
            sheet.Text(row++, xlsx::kColumnA, StatText(lang, kStatNotPossibleFirstKey + k));
        return row;
    }
    const std::optional<int> d = StatDecimals(in.profile);
    auto valueRow = [&](const QString& label, double value, const QString& unit) {
        sheet.Text(row, xlsx::kColumnA, label);
        sheet.Number(row, xlsx::kColumnB, value, CellFormat::Statistic);
        if (!unit.isEmpty())
            sheet.Text(row, xlsx::kColumnC, unit);
        return row++;
    };
    sheet.Text(row, xlsx::kColumnA, StatText(lang, kStatCountKey));
    sheet.Number(row++, xlsx::kColumnB, s.count, CellFormat::Count);
    valueRow(StatText(lang, kStatMinimumKey), Rounded(s.minimum, d), in.unit);
    valueRow(StatText(lang, kStatMaximumKey), Rounded(s.maximum, d), in.unit);
    if (in.trigger) {
        plan.meanRow = valueRow(StatText(lang, kStatPulseTimeKey), Rounded(in.trigger->PulseTime, d), xlsx::kMilliseconds);
        ++row;
    } else {
        plan.meanRow = valueRow(StatText(lang, kStatAverageKey), Rounded(s.mean, d), in.unit);
        if (s.count >= kStdDevFromCount)
            valueRow(StatText(lang, kStatStdDevKey), Rounded(s.stdDev, d), in.unit);
    }
    sheet.Text(row, xlsx::kColumnA, StatText(lang, kStatRuleKey));
    sheet.Text(row++, xlsx::kColumnB, s.verdict8020);

    const Limits& l = in.limits;
    plan.minLimitRow = plan.maxLimitRow = plan.targetRow = 0;
    if (!(l.MinLimit == 0 && l.MaxLimit == 0)) {
        plan.minLimitRow = valueRow(xlsx::kMinLimitLabel, RoundHalfEven(l.MinLimit, xlsx::kLimitDecimals), in.unit);
        plan.maxLimitRow = valueRow(xlsx::kMaxLimitLabel, RoundHalfEven(l.MaxLimit, xlsx::kLimitDecimals), in.unit);
    }
    if (l.TargetValue != 0)
        plan.targetRow = valueRow(StatText(lang, kStatTargetKey), RoundHalfEven(l.TargetValue, xlsx::kLimitDecimals), in.unit);
    return row;
}

bool HasProbeColumn(const DeviceProfile& profile) { return profile.ProfileProbe.trimmed() != u"0"; }

// Time of pulse i in ms; the pulse number when the interval is not known.
double PulseX(const PulseSeries& p, int i)
{
    if (!(std::isfinite(p.SampleIntervalUs) && p.SampleIntervalUs > 0))
        return i;
    return i * p.SampleIntervalUs / 1000;
}

int DataRows(const SpreadsheetInput& in, int first, SheetPlan& plan)
{
    Sheet sheet(plan);
    int row = first;
    if (in.trigger) {
        const PulseSeries& p = *in.trigger;
        const int n = static_cast<int>(std::min<size_t>(p.Values.size(), kMaxRows));
        for (int i = 1; i <= n; ++i, ++row) {
            sheet.Number(row, xlsx::kColumnB, PulseX(p, i), CellFormat::Font);
            sheet.Number(row, xlsx::kColumnC, RoundHalfEven(p.Values[static_cast<size_t>(i - 1)], 2), CellFormat::Value);
            sheet.Text(row, xlsx::kColumnD, p.Unit.left(xlsx::kTextCut));
        }
        return n;
    }
    const size_t n = std::min<size_t>(in.rows.size(), kMaxRows);
    for (size_t i = 0; i < n; ++i, ++row) {
        const Reading& r = in.rows[i];
        if (r.IsEmpty())
            break;
        sheet.Text(row, xlsx::kColumnA, u' ' + r.DateText + u' ' + r.TimeText);
        sheet.Number(row, xlsx::kColumnB, r.Number, CellFormat::Font);
        sheet.Number(row, xlsx::kColumnC, FormatValue(r.Value, r.Unit, in.profile, in.locale).RoundedValue,
                     CellFormat::Value);
        sheet.Text(row, xlsx::kColumnD, r.Unit.left(xlsx::kTextCut));
        sheet.Text(row, xlsx::kColumnE, r.Material.trimmed().left(xlsx::kTextCut));
    }
    return row - first;
}

QString Reference(const QString& sheet, int firstRow, int column, int lastRow)
{
    return u"='"_qs + sheet + u"'!"_qs + CellName(firstRow, column, true) + u':' + CellName(lastRow, column, true);
}

} // namespace

QString DataSheetName(int language) { return MessageText(language, kDataSheetKey); }

QString CellName(int row, int column, bool absolute)
{
    QString letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    const QString mark = absolute ? QStringLiteral("$") : QString();
    return mark + letters + mark + QString::number(row);
}

SheetPlan PlanDataSheet(const SpreadsheetInput& in)
{
    SheetPlan plan;
    plan.cells.reserve(in.rows.size() * 5 + 64);
    Sheet sheet(plan);
    int row = 1;
    const QString& header = in.reportHeader;
    for (qsizetype at = 0;;) {
        const qsizetype end = header.indexOf(kReportLineEnd, at);
        if (end < 0)
            break; // text after the last line end is not a line
        const QString line = header.mid(at, end - at).trimmed();
        if (!line.isEmpty())
            sheet.Text(row, xlsx::kColumnA, line);
        ++row;
        at = end + kReportLineEnd.size();
    }
    for (const SpreadsheetStatistics& block : in.blocks)
        row = StatisticsBlock(in, block, row, plan);

    plan.headerRow = row + 1;
    for (int c = 0; c < 4; ++c)
        sheet.Text(plan.headerRow, xlsx::kColumnA + c, in.headerTexts[static_cast<size_t>(c)]);
    if (HasProbeColumn(in.profile))
        sheet.Text(plan.headerRow, xlsx::kColumnE, xlsx::kMaterialHeader);
    plan.firstDataRow = plan.headerRow + 2;
    plan.dataRows = DataRows(in, plan.firstDataRow, plan);
    return plan;
}

std::optional<ChartPlan> PlanChart(const SpreadsheetInput& in, const SheetPlan& sheet)
{
    if (!in.withChart || in.unitsDiffer || sheet.dataRows == 0)
        return std::nullopt;
    const int lang = in.language;
    const QString data = DataSheetName(lang);
    const int first = sheet.firstDataRow;
    const int last = first + sheet.dataRows - 1;
    ChartPlan plan;
    plan.yAxisTitle = MessageText(lang, kDataSheetKey);
    const bool timed = in.trigger && std::isfinite(in.trigger->SampleIntervalUs) && in.trigger->SampleIntervalUs > 0;
    plan.xAxisTitle = StatText(lang, timed ? kStatDurationKey : kStatCountKey);
    plan.title = in.trigger ? xlsx::kTriggerTitle + u' ' + in.trigger->MemoryName.trimmed() + u" ("_qs +
                                  in.trigger->Description + u')'
                            : in.chartTitle;

    plan.series.push_back({StatText(lang, kStatDataKey), Reference(data, first, xlsx::kColumnB, last),
                           Reference(data, first, xlsx::kColumnC, last), xlsx::kValueLine, LineDash::Solid, 0});
    // The lines run across the data from their two end points on the line sheet.
    const QString lines = xlsx::kLineSheet;
    const QString x = Reference(lines, 1, xlsx::kColumnA, 2);
    if (!in.trigger && sheet.meanRow)
        plan.series.push_back({StatText(lang, kStatAverageKey), x, Reference(lines, 1, xlsx::kColumnB, 2),
                               xlsx::kMeanLine, LineDash::RoundDot, 0});
    if (sheet.minLimitRow && sheet.maxLimitRow) {
        plan.series.push_back({StatText(lang, kStatMaximumKey), x, Reference(lines, 1, xlsx::kColumnC, 2),
                               xlsx::kLimitLine, LineDash::Dash, 0});
        plan.series.push_back({StatText(lang, kStatMinimumKey), x, Reference(lines, 1, xlsx::kColumnD, 2),
                               xlsx::kLimitLine, LineDash::Dash, 0});
    }
    // Drawn as a double thin line there; a wider solid line here.
    if (sheet.targetRow)
        plan.series.push_back({StatText(lang, kStatTargetKey), x, Reference(lines, 1, xlsx::kColumnE, 2),
                               xlsx::kTargetLine, LineDash::Solid, 2.5});
    return plan;
}

} // namespace qc
