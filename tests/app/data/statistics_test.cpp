#include <gtest/gtest.h>

#include "data/statistics.h"

namespace qc {
namespace {

const QLocale kPoint(QLocale::English, QLocale::UnitedStates);
const QLocale kComma(QLocale::German, QLocale::Germany);
const QString kMicro = QStringLiteral("\u00B5m");

StatisticsTexts German()
{
    StatisticsTexts t;
    t.Count = QStringLiteral("Anzahl");
    t.Maximum = QStringLiteral("Maximum");
    t.Minimum = QStringLiteral("Minimum");
    t.Average = QStringLiteral("Mittelwert");
    t.StdDev = QStringLiteral("Std.Abw.");
    t.Title = QStringLiteral("Statistik:");
    t.NotPossible[0] = QStringLiteral(" Statistik nicht m\u00F6glich,");
    t.NotPossible[1] = QStringLiteral(" da verschiedene");
    t.NotPossible[2] = QStringLiteral(" Messeinheiten ");
    t.Abs = QStringLiteral("abs");
    t.Rule8020 = QStringLiteral("Regel 80/20 ok:");
    t.Yes = QStringLiteral("Ja");
    t.No = QStringLiteral("Nein ");
    return t;
}

StatisticsContext Context(const QLocale& locale = kPoint)
{
    StatisticsContext c;
    c.profile.ProfileClass = QStringLiteral("4");
    c.profile.ProfileFlag7 = QStringLiteral("2");
    c.profile.ProfileRule = QStringLiteral("0");
    c.MemoryCaption = QStringLiteral("Speicher 3");
    c.locale = locale;
    c.texts = German();
    return c;
}

QStringList Feed(std::initializer_list<double> values, const StatisticsContext& c, Statistics& s)
{
    s.Reset();
    for (double v : values)
        s.Accumulate(v, kMicro, QString(), c);
    return s.Lines();
}

TEST(Statistics, OneReadingHasNoMeanAndNoDeviation)
{
    Statistics s;
    const QStringList lines = Feed({12.3}, Context(), s);
    const QStringList expected = {
        QStringLiteral("Speicher 3"),
        QStringLiteral(" "),
        QStringLiteral("Statistik:"),
        QStringLiteral("Anzahl              1"),
        QStringLiteral("Minimum             12.3    \u00B5m"),
        QStringLiteral("Maximum             12.3    \u00B5m"),
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(s.StatCount, 1);
}

TEST(Statistics, TenTwentyThirtyInBothLocales)
{
    for (const auto& [locale, sep] : {std::pair{kPoint, u'.'}, std::pair{kComma, u','}}) {
        Statistics s;
        StatisticsContext c = Context(locale);
        c.OnlineTable = true;
        const QStringList lines = Feed({10, 20, 30}, c, s);
        EXPECT_DOUBLE_EQ(s.StatMeanAbs, 20);
        EXPECT_DOUBLE_EQ(s.StatStdDevAbs, 10);
        auto withSep = [sep = sep](const char* text) { return QString::fromUtf8(text).replace(u'.', sep); };
        const QStringList expected = {
            QStringLiteral("Online"),
            QStringLiteral(" "),
            QStringLiteral("Statistik:"),
            QStringLiteral("Anzahl              3"),
            withSep("Minimum             10.0    \u00B5m"),
            withSep("Maximum             30.0    \u00B5m"),
            // The separators stand under the minimum's; the units stay in line.
            QStringLiteral("Mittelwert    ") + withSep("      20.00   \u00B5m"),
            QStringLiteral("Std.Abw.      ") + withSep("      10.00   \u00B5m"),
        };
        EXPECT_EQ(lines, expected);
        for (int i = 5; i < 8; ++i)
            EXPECT_EQ(lines[i].lastIndexOf(sep), lines[4].lastIndexOf(sep)) << lines[i].toStdString();
    }
}

TEST(Statistics, SeparatorAlignmentAgainstAWholeMinimum)
{
    // Minimum 150 "µm" shows no decimals; the mean's separator stands where
    // the minimum's would be, right after its last digit.
    const QString line = StatisticsValueLine(QStringLiteral("Mittelwert"), QStringLiteral("     160.00"),
                                             QStringLiteral("        150"), kMicro, u'.');
    const QString minimum = QStringLiteral("Minimum      ") + QStringLiteral("        150") + QStringLiteral("    ") + kMicro;
    EXPECT_EQ(line.indexOf(u'.'), minimum.indexOf(QStringLiteral("150")) + 3);
    EXPECT_EQ(line.indexOf(kMicro), minimum.indexOf(kMicro));
    // Three statistics decimals against a two-decimal minimum.
    const QString three = StatisticsValueLine(QStringLiteral("Average"), QStringLiteral("      1.234"),
                                              QStringLiteral("       1.20"), QStringLiteral("mils"), u'.');
    EXPECT_EQ(three, QStringLiteral("Average       ") + QStringLiteral("      1.234") + QStringLiteral("   mils"));
}

TEST(Statistics, MixedUnitsShowTheThreeNotPossibleLines)
{
    Statistics s;
    const StatisticsContext c = Context();
    s.Reset();
    s.Accumulate(20, kMicro, QString(), c);
    s.Accumulate(1.5, QStringLiteral("mils"), QString(), c);
    const QStringList expected = {
        QStringLiteral("Speicher 3"), QStringLiteral(" "), QStringLiteral("Statistik:"),
        QStringLiteral(" Statistik nicht m\u00F6glich,"), QStringLiteral(" da verschiedene"),
        QStringLiteral(" Messeinheiten "),
    };
    EXPECT_EQ(s.Lines(), expected);
    EXPECT_TRUE(s.UnitsDiffer);
    EXPECT_DOUBLE_EQ(s.StatSum, 21.5); // the sums go on
}

TEST(Statistics, Rule8020Verdicts)
{
    struct Case {
        std::initializer_list<double> readings;
        const char* line;
        bool exceeded;
    };
    const Case cases[] = {
        {{100, 90, 120, 150, 110}, "Regel 80/20 ok: Ja 20 %", false},
        {{100, 90, 95, 150, 110}, "Regel 80/20 ok: Nein  40 %", true},
        {{100, 79, 150}, "Regel 80/20 ok: Nein  0 %", false},  // below the minimum
        {{95, 96, 99.9, 100}, "Regel 80/20 ok: Nein  75 %", true}, // mean below target too
    };
    for (const Case& k : cases) {
        Statistics s;
        StatisticsContext c = Context();
        c.limits.Rule8020 = true;
        c.limits.TargetValue = 100;
        c.limits.MinLimit = 80;
        c.limits.MaxLimit = 200;
        const QStringList lines = Feed(k.readings, c, s);
        EXPECT_EQ(lines.last(), QString::fromLatin1(k.line));
        EXPECT_EQ(s.BandExceeded, k.exceeded);
    }
    Statistics s;
    StatisticsContext c = Context();
    c.limits = {80, {}, 200, {}, 100, {}, true};
    Feed({100, 90, 120, 150, 110}, c, s);
    EXPECT_EQ(s.Verdict8020, QStringLiteral("Ja"));
    EXPECT_DOUBLE_EQ(s.StatMean, 114);
    EXPECT_FALSE(s.MeanBelowTarget);
}

TEST(Statistics, NegativeReadingsAreShownAsAbsoluteValues)
{
    Statistics s;
    StatisticsContext c = Context();
    c.profile.ProfileRule = QStringLiteral("-");
    const QStringList lines = Feed({-10, 20}, c, s);
    EXPECT_EQ(lines[2], QStringLiteral("Statistik:abs"));
    EXPECT_EQ(lines[4], QStringLiteral("Minimum             10.0    \u00B5m"));
    EXPECT_DOUBLE_EQ(s.StatMin, -10);
    EXPECT_DOUBLE_EQ(s.StatMeanAbs, 15);
    EXPECT_DOUBLE_EQ(s.StatMean, 5);
}

TEST(Statistics, TwoMaterialGaugesLeaveOneMaterialOut)
{
    Statistics s;
    StatisticsContext c = Context();
    c.ModelGroup = QStringLiteral("JV");
    s.Reset();
    s.Accumulate(10, kMicro, QStringLiteral("FE"), c);
    EXPECT_TRUE(s.MaterialButton.Visible);
    EXPECT_EQ(s.MaterialButton.Caption, QStringLiteral("NF"));
    s.Accumulate(50, kMicro, QStringLiteral("NF"), c);
    s.Accumulate(20, kMicro, QStringLiteral("FE"), c);
    EXPECT_EQ(s.StatCount, 2);
    EXPECT_EQ(s.Lines()[2], QStringLiteral("FE Statistik:"));

    s.SwitchMaterial(QStringLiteral("4"));
    EXPECT_EQ(s.MaterialButton.Caption, QStringLiteral("FE"));
    s.ResetValues();
    for (auto [v, m] : {std::pair{10.0, "FE"}, {50.0, "NF"}, {20.0, "FE"}})
        s.Accumulate(v, kMicro, QString::fromLatin1(m), c);
    EXPECT_EQ(s.StatCount, 1);
    EXPECT_EQ(s.Lines()[2], QStringLiteral("NFE Statistik:"));
    s.SwitchMaterial(QStringLiteral("4"));
    EXPECT_EQ(s.MaterialButton.Caption, QStringLiteral("NFE"));
    s.SwitchMaterial(QStringLiteral("5"));
    EXPECT_EQ(s.MaterialButton.Caption, QStringLiteral("FE"));
    s.MaterialButton.Caption = QStringLiteral("FE");
    s.SwitchMaterial(QStringLiteral("5"));
    EXPECT_EQ(s.MaterialButton.Caption, QStringLiteral("NF"));

    c.SelectedMemoryName = QStringLiteral("s12");
    s.Reset();
    s.Accumulate(10, kMicro, QStringLiteral("FE"), c);
    EXPECT_FALSE(s.MaterialButton.Visible);
}

TEST(Statistics, ResetGivesTheStartValues)
{
    Statistics s;
    Feed({10, 20}, Context(), s);
    s.Reset();
    EXPECT_EQ(s.StatCount, 0);
    EXPECT_DOUBLE_EQ(s.StatMin, 999999);
    EXPECT_DOUBLE_EQ(s.StatMaxAbs, -999999);
    EXPECT_EQ(s.StatStdText, QStringLiteral(" "));
    EXPECT_TRUE(s.Lines().isEmpty());
    EXPECT_TRUE(s.FirstUnit.isEmpty());
}

TEST(MemoryCaption, ByGaugeClass)
{
    const QString word = QStringLiteral("Speicher");
    EXPECT_EQ(MemoryCaption(QStringLiteral("1"), word, {}, {}, 3), QStringLiteral("Speicher"));
    EXPECT_EQ(MemoryCaption(QStringLiteral("5"), word, QStringLiteral(" m001 "), QStringLiteral("Bridge"), 0),
              QStringLiteral("Speicher m001 (Bridge)"));
    EXPECT_EQ(MemoryCaption(QStringLiteral("4"), word, {}, {}, 7), QStringLiteral("Speicher 7"));
}

} // namespace
} // namespace qc
