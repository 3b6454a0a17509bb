#include <gtest/gtest.h>

#include <cmath>

#include "output/chart_data.h"
#include "shell/texts.h"
#include "xlsx_readback.h"

namespace qc {
namespace {

Reading Row(int number, double value, const QString& unit = QStringLiteral("\u00B5m"))
{
    Reading r;
    r.Number = static_cast<qint16>(number);
    r.Value = value;
    r.Unit = unit;
    return r;
}

ChartInput Input(std::initializer_list<double> values)
{
    ChartInput in;
    int n = 0;
    for (double v : values)
        in.rows.push_back(Row(++n, v));
    in.unit = QStringLiteral("\u00B5m");
    in.locale = QLocale(QLocale::German, QLocale::Germany);
    in.stat = {QStringLiteral("      20,00"), QStringLiteral("       10,0"), QStringLiteral("       30,0")};
    in.decimalsCode = QStringLiteral("2");
    return in;
}

std::vector<ChartColumnKind> Kinds(const ChartModel& m)
{
    std::vector<ChartColumnKind> kinds;
    for (const ChartColumn& c : m.columns)
        kinds.push_back(c.kind);
    return kinds;
}

using K = ChartColumnKind;

struct ColumnCase {
    const char* name;
    Limits limits;
    std::vector<ChartColumnKind> kinds;
    QStringList labels;
};

void PrintTo(const ColumnCase& c, std::ostream* os) { *os << c.name; }

class ChartColumns : public testing::TestWithParam<ColumnCase> {};

TEST_P(ChartColumns, ChosenByTheLimitsThatAreSet)
{
    ChartInput in = Input({10, 20, 30});
    in.limits = GetParam().limits;
    const ChartModel m = BuildChartModel(in);
    EXPECT_EQ(Kinds(m), GetParam().kinds);
    QStringList labels;
    for (const ChartColumn& c : m.columns) {
        labels << c.label;
        ASSERT_EQ(c.values.size(), 3u);
        if (c.kind != K::Values) {
            EXPECT_EQ(c.values.front(), c.values.back()) << "a line is one level";
        }
    }
    EXPECT_EQ(labels, GetParam().labels);
    EXPECT_EQ(m.pointCount, 3);
    EXPECT_EQ(m.endLabel, QStringLiteral(" 3"));
}

INSTANTIATE_TEST_SUITE_P(
    Output, ChartColumns,
    testing::Values(
        ColumnCase{"NoTargetNoLimits", {}, {K::Values}, {QStringLiteral("Daten")}},
        ColumnCase{"TargetOnly", {0, {}, 0, {}, 22.5, {}, false}, {K::Values, K::Target},
                   {QStringLiteral("Daten"), QStringLiteral("Sollwert     22,5")}},
        ColumnCase{"LimitsOnly", {5, {}, 50, {}, 0, {}, false}, {K::Values, K::MinLimit, K::MaxLimit},
                   {QStringLiteral("Daten"), QStringLiteral("Minimum 5"), QStringLiteral("Maximum 50")}},
        ColumnCase{"OnlyMaximumGivesBothLimits", {0, {}, 50, {}, 0, {}, false}, {K::Values, K::MinLimit, K::MaxLimit},
                   {QStringLiteral("Daten"), QStringLiteral("Minimum 0"), QStringLiteral("Maximum 50")}},
        ColumnCase{"TargetAndLimits", {5, {}, 50, {}, 20, {}, false}, {K::Values, K::Target, K::MinLimit, K::MaxLimit},
                   {QStringLiteral("Daten"), QStringLiteral("Sollwert     20"), QStringLiteral("Minimum 5"),
                    QStringLiteral("Maximum 50")}}),
    [](const testing::TestParamInfo<ColumnCase>& info) { return info.param.name; });

TEST(ChartValues, AbsoluteValuesAndTheirRange)
{
    ChartInput in = Input({-12, 5, -3});
    EXPECT_EQ(BuildChartModel(in).columns[0].values, (std::vector<double>{-12, 5, -3}));
    EXPECT_EQ(BuildChartModel(in).yMinimum, -12);
    in.absoluteValues = true;
    const ChartModel m = BuildChartModel(in);
    EXPECT_EQ(m.columns[0].values, (std::vector<double>{12, 5, 3}));
    EXPECT_EQ(m.yMinimum, 3);
    EXPECT_EQ(m.yMaximum, 12);
}

TEST(ChartValues, OtherUnitsAreConvertedToTheFirstRowsUnit)
{
    const struct {
        const char* first;
        const char* other;
        double value;
        double plotted;
    } cases[] = {
        {"mm", "\u00B5m", 1500, 1.5},   {"\u00B5m", "mm", 1.5, 1500}, {"mm", "ym", 250, 0.25},
        {"kOe", "Oe", 500, 0.5},        {"Oe", "kOe", 0.5, 500},      {"A/cm", "kA/m", 2, 20},
        {"kA/m", "A/cm", 20, 2},        {"\u00B5m", "mils", 3, 3},    {"\u00B5m", "\u00B5m ", 7, 7},
    };
    for (const auto& c : cases) {
        ChartInput in;
        in.rows = {Row(1, 1, QString::fromUtf8(c.first)), Row(2, c.value, QString::fromUtf8(c.other))};
        const ChartModel m = BuildChartModel(in);
        EXPECT_DOUBLE_EQ(m.columns[0].values[1], c.plotted) << c.first << " <- " << c.other;
        EXPECT_EQ(m.axisTitle, QString::fromUtf8(c.first)) << "the values are in the first row's unit";
    }
}

TEST(ChartValues, RowsEndAtTheFirstEmptyRowAndAtFiveThousand)
{
    ChartInput in = Input({1, 2});
    in.rows.push_back(Reading());
    in.rows.push_back(Row(9, 9));
    EXPECT_EQ(BuildChartModel(in).pointCount, 2);
    in.rows.clear();
    for (int i = 1; i <= kMaxRows + 10; ++i)
        in.rows.push_back(Row(i, i));
    const ChartModel m = BuildChartModel(in);
    EXPECT_EQ(m.pointCount, kMaxRows);
    EXPECT_EQ(m.endLabel, QStringLiteral(" 5000"));
}

TEST(ChartRange, CoversValuesAndLinesAndNeverCollapses)
{
    ChartInput in = Input({10, 20, 30});
    in.limits = {5, {}, 50, {}, 0, {}, false};
    ChartModel m = BuildChartModel(in);
    EXPECT_EQ(m.yMinimum, 5) << "a limit outside the readings stays in view";
    EXPECT_EQ(m.yMaximum, 50);

    m = BuildChartModel(Input({20}));
    EXPECT_LT(m.yMinimum, 20);
    EXPECT_GT(m.yMaximum, 20);

    m = BuildChartModel(Input({0, 0}));
    EXPECT_LT(m.yMinimum, m.yMaximum);

    m = BuildChartModel(Input({}));
    EXPECT_EQ(m.pointCount, 0);
    EXPECT_EQ(m.endLabel, QStringLiteral(" 0"));
    EXPECT_EQ(m.yMinimum, 0);
    EXPECT_EQ(m.yMaximum, 1);

    m = BuildChartModel(Input({NAN, 4, INFINITY, 6}));
    EXPECT_EQ(m.yMinimum, 4);
    EXPECT_EQ(m.yMaximum, 6);
}

TEST(ChartTexts, MeanBoxAndLabelsOfAMemory)
{
    ChartInput in = Input({10, 20, 30});
    const ChartModel m = BuildChartModel(in);
    EXPECT_EQ(m.meanBox, QStringLiteral("_ _ _Mittelwert      20,00"));
    EXPECT_EQ(m.meanLabel, QStringLiteral("Mittelwert 20,00 \u00B5m"));
    EXPECT_EQ(m.minMaxLabel, QStringLiteral("Maximum 30,0 \u00B5m   Minimum 10,0 \u00B5m"));
    EXPECT_EQ(m.strokeLabel, QStringLiteral("__ __ __"));
    EXPECT_TRUE(m.pulseTimeLabel.isEmpty());
    EXPECT_FALSE(m.trigger);
    EXPECT_EQ(m.axisTitle, QStringLiteral("\u00B5m"));

    in.language = kEnglish;
    EXPECT_EQ(BuildChartModel(in).meanLabel, QStringLiteral("Average 20,00 \u00B5m"));
}

TEST(ChartTexts, TriggerMemoryPlotsItsPulses)
{
    ChartInput in = Input({10, 20, 30});
    in.trigger = PulseSeries{QStringLiteral("t1"), QStringLiteral("x"), 2.125, {1.5, -2.25, 3}, QStringLiteral("V"), 100};
    ChartModel m = BuildChartModel(in);
    EXPECT_TRUE(m.trigger);
    EXPECT_EQ(m.columns[0].values, (std::vector<double>{1.5, -2.25, 3}));
    EXPECT_EQ(m.axisTitle, QStringLiteral("V"));
    EXPECT_EQ(m.pulseTimeLabel, QStringLiteral("Impulszeit 2,12 ms"));
    EXPECT_TRUE(m.meanLabel.isEmpty());
    EXPECT_TRUE(m.minMaxLabel.startsWith(QStringLiteral("Maximum ")));
    EXPECT_TRUE(m.minMaxLabel.contains(QStringLiteral("   Minimum "))) << m.minMaxLabel.toStdString();
    EXPECT_TRUE(m.meanBox.startsWith(QStringLiteral("Maximum "))) << m.meanBox.toStdString();
    in.limits = {5, {}, 50, {}, 20, {}, false};
    m = BuildChartModel(in);
    EXPECT_EQ(m.columns.size(), 4u);
    EXPECT_EQ(m.yMinimum, -2.25) << "the thickness limits do not squash the trace";
    EXPECT_EQ(m.yMaximum, 3);
    in.absoluteValues = true;
    m = BuildChartModel(in);
    EXPECT_EQ(m.columns[0].values, (std::vector<double>{1.5, 2.25, 3}));
    in.decimalsCode = QStringLiteral("1");
    EXPECT_EQ(BuildChartModel(in).pulseTimeLabel, QStringLiteral("Impulszeit 2,10 ms"));
}

TEST(ChartBar, OnlyTheValuesLabelledData)
{
    ChartInput in = Input({10, 20, 30});
    in.limits = {5, {}, 50, {}, 20, {}, false};
    const ChartModel line = BuildChartModel(in);
    const ChartModel bar = BarChartModel(line);
    ASSERT_EQ(bar.columns.size(), 1u);
    EXPECT_EQ(bar.columns[0].label, QStringLiteral("Data"));
    EXPECT_EQ(bar.columns[0].values, line.columns[0].values);
    EXPECT_EQ(bar.yMinimum, 10);
    EXPECT_EQ(bar.yMaximum, 30);
    EXPECT_EQ(bar.minMaxLabel, line.minMaxLabel);
}

TEST(ChartPens, KeepColoursStylesAndWidthOrder)
{
    EXPECT_EQ(WindowPen(K::Values).colour, QColor(0, 0, 153));
    EXPECT_EQ(WindowPen(K::Target).colour, QColor(150, 0, 0));
    EXPECT_EQ(WindowPen(K::MinLimit).colour, QColor(0, 130, 0));
    EXPECT_EQ(EmbeddedPen(K::MaxLimit).colour, QColor(0, 130, 0));
    EXPECT_EQ(WindowPen(K::Values).style, ChartPenStyle::Solid);
    for (K k : {K::Target, K::MinLimit, K::MaxLimit}) {
        EXPECT_EQ(WindowPen(k).style, ChartPenStyle::Dotted);
        EXPECT_EQ(EmbeddedPen(k).style, ChartPenStyle::Dotted);
    }
    EXPECT_GT(WindowPen(K::Values).width, WindowPen(K::MaxLimit).width);
    EXPECT_GT(WindowPen(K::MaxLimit).width, WindowPen(K::Target).width);
    EXPECT_GT(EmbeddedPen(K::Values).width, EmbeddedPen(K::Target).width);
    EXPECT_EQ(EmbeddedPen(K::Target).width, EmbeddedPen(K::MinLimit).width);
}

} // namespace
} // namespace qc
