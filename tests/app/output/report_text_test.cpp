#include <gtest/gtest.h>

#include <QRegularExpression>

#include "data/measurement_data.h"
#include "data/units.h"
#include "output/report_text.h"
#include "shell/texts.h"
#include "../data/reading_rows.h"

namespace qc {
namespace {

const QString M = QStringLiteral("\u00B5m");
const QLocale kDe(QLocale::German, QLocale::Germany);
const QLocale kEn(QLocale::English, QLocale::UnitedStates);

Reading Row(int number, double value, const QString& unit, const QString& material, const QString& time)
{
    return test::Row(number, value, unit, material, time, QStringLiteral("05.12.2024"));
}

using test::DatedRow;

Reading Undated(Reading r)
{
    r.DateText = QStringLiteral(" ");
    return r;
}

ReportInput BaseInput()
{
    ReportInput in;
    in.locale = kDe;
    in.language = kGerman;
    in.profile.ProfileClass = QStringLiteral("4");
    in.profile.ProfileProbe = QStringLiteral("2");
    in.unit = M;
    in.statistics = {QStringLiteral("Speicher 3"), QStringLiteral(" "), QStringLiteral("Statistik:"),
                     QStringLiteral("Anzahl              2")};
    in.rows = {Row(1, 12.3, M, QStringLiteral("FE"), QStringLiteral("10:15:30")),
               Row(2, 150, M, QStringLiteral("NF"), QStringLiteral("10:15:31"))};
    in.project.Labels = {QStringLiteral("Kunde"), QStringLiteral("Ort"), QStringLiteral("Objekt"),
                         QStringLiteral("Pr\u00FCfer"), QStringLiteral("Auftrag"), QStringLiteral("Bemerkung")};
    in.project.Date = QDate(2024, 12, 5);
    in.project.Time = QTime(9, 30, 45);
    return in;
}

const QString kStatLines = QStringLiteral("Statistik:\r\nAnzahl              2\r\n\r\n");
const QString kDataLines = QStringLiteral("\r\n"
                                          "10:15:30          1        12,3 \u00B5m   FE\r\n"
                                          "10:15:31          2         150 \u00B5m   NF\r\n");

struct ModeCase {
    const char* name;
    std::function<void(ReportInput&)> change;
    QString mode;
    QString expected;
};

class ReportModes : public testing::TestWithParam<ModeCase> {};

TEST_P(ReportModes, GiveExactText)
{
    ReportInput in = BaseInput();
    GetParam().change(in);
    EXPECT_EQ(BuildReportText(GetParam().mode, in).toStdString(), GetParam().expected.toStdString());
}

void Nothing(ReportInput&) {}
void Field3(ReportInput& in) { in.project.Texts[2] = QStringLiteral("Br\u00FCcke 7"); }
void AllFields(ReportInput& in)
{
    for (int i = 0; i < kProjectFields; ++i)
        in.project.Texts[i] = QStringLiteral("T%1").arg(i + 1);
}
void BlankFields(ReportInput& in)
{
    in.project.Texts = {QStringLiteral(" "), QString(), QStringLiteral(" "), QString(), QString(), QString()};
}
void Limits10to200(ReportInput& in) { in.limits = {10, QStringLiteral("10"), 200, QStringLiteral("200"), 0, {}, false}; }
void LimitsAndTarget(ReportInput& in)
{
    in.limits = {10, QStringLiteral("10"), 200, QStringLiteral("200"), 80, QStringLiteral("80,5"), false};
}
void OnlyMax(ReportInput& in) { in.limits = {0, QStringLiteral("0"), 200, QStringLiteral("200"), 0, {}, false}; }
void OnlyTarget(ReportInput& in) { in.limits.TargetValue = 80, in.limits.TargetText = QStringLiteral("80"); }
void EnglishTarget(ReportInput& in)
{
    OnlyTarget(in);
    in.language = kEnglish;
}
void LongLimitText(ReportInput& in) { in.limits = {1, QStringLiteral("123456789"), 2, QStringLiteral("2"), 0, {}, false}; }

const QString kProjectField3 = QStringLiteral("#  05.12.2024 09:30\r\n#  Objekt Br\u00FCcke 7\r\n\r\n");

INSTANTIATE_TEST_SUITE_P(
    Report, ReportModes,
    testing::Values(
        ModeCase{"NoProjectAll", Nothing, QStringLiteral("A"), kStatLines + kDataLines},
        ModeCase{"NoProjectP", Nothing, QStringLiteral("P"), QString()},
        ModeCase{"BlankTextsAreNotSet", BlankFields, QStringLiteral("A"), kStatLines + kDataLines},
        ModeCase{"Field3All", Field3, QStringLiteral("A"), kProjectField3 + kStatLines + kDataLines},
        ModeCase{"Field3P", Field3, QStringLiteral("P"), kProjectField3},
        ModeCase{"Field3S", Field3, QStringLiteral("S"), kStatLines},
        ModeCase{"Field3W", Field3, QStringLiteral("W"), kDataLines},
        ModeCase{"UnknownMode", Field3, QStringLiteral("X"), QString()},
        ModeCase{"AllFields", AllFields, QStringLiteral("P"),
                 QStringLiteral("#  05.12.2024 09:30\r\n#  Kunde T1\r\n#  Ort T2\r\n#  Objekt T3\r\n"
                                "#  Pr\u00FCfer T4\r\n#  Auftrag T5\r\n#  Bemerkung T6\r\n\r\n")},
        ModeCase{"Limits", Limits10to200, QStringLiteral("S"),
                 kStatLines + QStringLiteral("Min Limit              10 \u00B5m\r\nMax Limit             200 \u00B5m\r\n")},
        ModeCase{"LimitsAndTarget", LimitsAndTarget, QStringLiteral("S"),
                 kStatLines + QStringLiteral("Min Limit              10 \u00B5m\r\nMax Limit             200 \u00B5m\r\n"
                                             "Sollwert             80,5 \u00B5m\r\n")},
        ModeCase{"OneLimitSetShowsBoth", OnlyMax, QStringLiteral("S"),
                 kStatLines + QStringLiteral("Min Limit               0 \u00B5m\r\nMax Limit             200 \u00B5m\r\n")},
        ModeCase{"OnlyTarget", OnlyTarget, QStringLiteral("S"),
                 kStatLines + QStringLiteral("Sollwert               80 \u00B5m\r\n")},
        ModeCase{"EnglishTarget", EnglishTarget, QStringLiteral("S"),
                 kStatLines + QStringLiteral("Target value           80 \u00B5m\r\n")},
        ModeCase{"LimitTextNeverCut", LongLimitText, QStringLiteral("S"),
                 kStatLines + QStringLiteral("Min Limit        123456789 \u00B5m\r\nMax Limit               2 \u00B5m\r\n")}),
    [](const testing::TestParamInfo<ModeCase>& info) { return info.param.name; });

// The list's caption and blank line never reach the report; the index one
// past the end gives the empty line; a list of fewer than two items adds nothing.
TEST(ReportStatistics, ItemsFromTheThirdPlusOneEmptyLine)
{
    ReportInput in = BaseInput();
    const std::pair<QStringList, QString> cases[] = {
        {{}, QString()},
        {{QStringLiteral("Speicher 1")}, QString()},
        {{QStringLiteral("Speicher 1"), QStringLiteral(" ")}, QStringLiteral("\r\n")},
        {{QStringLiteral("Online"), QStringLiteral(" "), QStringLiteral("a"), QStringLiteral("b")},
         QStringLiteral("a\r\nb\r\n\r\n")},
    };
    for (const auto& [items, expected] : cases) {
        in.statistics = items;
        EXPECT_EQ(BuildReportText(report_mode::Statistics, in), expected) << items.join(u'|').toStdString();
    }
}

struct LineCase {
    const char* name;
    Reading row;
    bool dateMode;
    QLocale locale;
    QString expected;
};

class ReadingLines : public testing::TestWithParam<LineCase> {};

TEST_P(ReadingLines, FollowTheLayout)
{
    DeviceProfile profile;
    profile.ProfileClass = QStringLiteral("4");
    profile.ProfileFlag6 = GetParam().dateMode ? QStringLiteral("-") : QString();
    EXPECT_EQ(ReadingLine(GetParam().row, profile, GetParam().locale).toStdString(),
              GetParam().expected.toStdString());
}

const QDateTime kWhen(QDate(2024, 12, 5), QTime(10, 15, 30));
const QDateTime kMidnight(QDate(2024, 12, 5), QTime(0, 0, 0));

INSTANTIATE_TEST_SUITE_P(
    Report, ReadingLines,
    testing::Values(
        LineCase{"TimeMode", Row(12, 12.3, M, QStringLiteral("FE"), QStringLiteral("10:15:30")), false, kEn,
                 QStringLiteral("10:15:30         12        12.3 \u00B5m   FE")},
        LineCase{"TimeModeComma", Row(12, 12.3, M, QStringLiteral("FE"), QStringLiteral("10:15:30")), false, kDe,
                 QStringLiteral("10:15:30         12        12,3 \u00B5m   FE")},
        LineCase{"UnitCutToFour", Row(1, 5, QStringLiteral("Fe%xy"), {}, QStringLiteral("10:15:30")), false, kEn,
                 QStringLiteral("10:15:30          1        5.00 Fe%x ")},
        LineCase{"UnitTrimmed", Row(1, -5.2, QStringLiteral(" mils "), QStringLiteral("DNF"), QStringLiteral("10:15:30")),
                 false, kEn, QStringLiteral("10:15:30          1       -5.20 mils DNF")},
        LineCase{"NumberNeverCut", Row(32767, 1, QStringLiteral("Fe%"), {}, QStringLiteral("10:15:30")), false, kEn,
                 QStringLiteral("10:15:30      32767        1.00 Fe%  ")},
        LineCase{"DateModeGerman", DatedRow(1, 12.3, M, QStringLiteral("FE"), kWhen, kDe), true, kDe,
                 QStringLiteral("05.12.2024 10:15:30         1        12,3 \u00B5m    FE")},
        LineCase{"DateModeEnglish", DatedRow(1, 12.3, M, QStringLiteral("FE"), kWhen, kEn), true, kEn,
                 QStringLiteral("12/5/2024 10:15:30 AM       1        12.3 \u00B5m    FE")},
        // Midnight keeps its time, so the line keeps the ":" the reader needs.
        LineCase{"DateModeMidnight", DatedRow(7, 20, M, {}, kMidnight, kDe), true, kDe,
                 QStringLiteral("05.12.2024 00:00:00         7        20,0 \u00B5m    ")},
        LineCase{"DateModeWithoutDateTime", Undated(Row(7, 20, M, {}, QStringLiteral(" "))), true, kDe,
                 QStringLiteral("00:00:00" "                     ") + QStringLiteral("    7        20,0 \u00B5m    ")}),
    [](const testing::TestParamInfo<LineCase>& info) { return info.param.name; });

TEST(ReportDateMode, LongDateTimeKeepsThreeBlanksBeforeTheNumber)
{
    DeviceProfile profile;
    profile.ProfileFlag6 = QStringLiteral("-");
    const QDateTime when(QDate(2024, 12, 15), QTime(22, 15, 30));
    Reading r = DatedRow(1234, 1, M, {}, when, kEn);
    r.DateText = QStringLiteral("12/15/2024");
    r.TimeText = QStringLiteral("10:15:30 PM xx"); // 26 characters with the blanks
    const QString line = ReadingLine(r, profile, kEn);
    EXPECT_TRUE(line.startsWith(QStringLiteral("12/15/2024 10:15:30 PM   1234 "))) << line.toStdString();
}

TEST(ReportData, EndsAtTheFirstRowWithValueZeroAndNoPositiveNumber)
{
    ReportInput in = BaseInput();
    Reading zeroValue = Row(3, 0, M, {}, QStringLiteral("10:15:32")); // a real reading of 0
    Reading end = Row(-1, 0, M, {}, QStringLiteral("10:15:33"));
    Reading after = Row(5, 1, M, {}, QStringLiteral("10:15:34"));
    in.rows = {zeroValue, end, after};
    EXPECT_EQ(BuildReportText(report_mode::Readings, in),
              QStringLiteral("\r\n10:15:32          3         0,0 \u00B5m   \r\n"));
}

TEST(ReportData, FiveThousandReadingsGiveFiveThousandLines)
{
    ReportInput in = BaseInput();
    in.rows.clear();
    for (int i = 1; i <= kMaxRows + 1; ++i)
        in.rows.push_back(Row(i % 10000, 20 + i % 50, M, QStringLiteral("FE"), QStringLiteral("10:15:30")));
    const QStringList lines = BuildReportText(report_mode::Readings, in).split(QStringLiteral("\r\n"));
    // Leading empty line, 5000 readings, and the empty piece after the last line end.
    ASSERT_EQ(lines.size(), kMaxRows + 2);
    EXPECT_EQ(lines[1], QStringLiteral("10:15:30          1        21,0 \u00B5m   FE"));
    EXPECT_EQ(lines[kMaxRows], QStringLiteral("10:15:30       5000        20,0 \u00B5m   FE"));
}

TEST(ReportTrigger, ModeAGivesThePulseReportOthersIgnoreIt)
{
    ReportInput in = BaseInput();
    in.statistics = {QStringLiteral("t 12"), QStringLiteral(" "), QStringLiteral("Anzahl        3")};
    in.trigger = PulseSeries{QStringLiteral(" t12 "), QStringLiteral("(3 Impulse, 0,5 ms)"), 12.345, {1.5, -2, 0.125}, {}, 0};
    EXPECT_EQ(BuildReportText(report_mode::All, in),
              QStringLiteral("Triggert12 (3 Impulse, 0,5 ms)\r\nAnzahl        3\r\n\r\nImpulszeit 12,34 ms\r\n\r\n"
                             "1,5\r\n-2\r\n0,125\r\n"));
    in.locale = kEn;
    in.language = kEnglish;
    EXPECT_EQ(BuildReportText(report_mode::All, in).section(QStringLiteral("\r\n"), 3),
              QStringLiteral("pulse time 12.34 ms\r\n\r\n1.5\r\n-2\r\n0.125\r\n"));
    EXPECT_EQ(BuildReportText(report_mode::Statistics, in), QStringLiteral("Anzahl        3\r\n\r\n"));
}

TEST(ReportTrigger, TriggerMemoryNames)
{
    EXPECT_TRUE(IsTriggerMemory(QStringLiteral("t12")));
    EXPECT_TRUE(IsTriggerMemory(QStringLiteral(" t")));
    EXPECT_FALSE(IsTriggerMemory(QStringLiteral("s12t")));
    EXPECT_FALSE(IsTriggerMemory(QStringLiteral("T12")));
    EXPECT_FALSE(IsTriggerMemory(QString()));
}

// A table of the main window: records through the decoder, statistics
// built as the window builds them.
class ReportOfTable : public testing::Test {
protected:
    void SetUp() override
    {
        data.locale = kDe;
        data.gauge.profile.ProfileClass = QStringLiteral("4");
        data.gauge.profile.ProfileProbe = QStringLiteral("2");
        data.gauge.profile.ProfileFlag7 = QStringLiteral("2");
        data.statTexts = {StatText(0, 1), StatText(0, 2), StatText(0, 3), StatText(0, 4), StatText(0, 5),
                          StatText(0, 6), {StatText(0, 7), StatText(0, 8), StatText(0, 9)}, StatText(0, 11),
                          StatText(0, 14), QStringLiteral("ja"), QStringLiteral("nein")};
        data.memoryCaption = QStringLiteral("Speicher 3");
        data.ResetStatistic();
    }
    void Add(int number, const char* value, const char* material)
    {
        data.FillMessdaten(test::GaugeRecord(number, value, material), QDateTime(QDate(2024, 12, 5), QTime(11, 0, 0)));
    }
    MeasurementData data;
};

TEST_F(ReportOfTable, TwoMaterialsGiveBothStatisticsAndStaySwitched)
{
    data.gauge.identity.ModelGroup = QStringLiteral("JV");
    Add(1, "10.0", "FE");
    Add(2, "20.0", "NFE");
    Add(3, "30.0", "FE");
    ASSERT_TRUE(data.statistics.MaterialButton.Visible);
    const QString before = data.statistics.MaterialButton.Caption;
    const QString report = FillReportText(report_mode::All, data, {}, kGerman);
    const QStringList lines = report.split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.filter(QStringLiteral("Statistik:")).size(), 2) << report.toStdString();
    EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^Anzahl +2$"))).size(), 1) << report.toStdString();
    EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^Anzahl +1$"))).size(), 1) << report.toStdString();
    EXPECT_NE(data.statistics.MaterialButton.Caption, before);
    // Every reading of both materials is in the data section.
    EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^11:00:00 "))).size(), 3);

    FillReportText(report_mode::Statistics, data, {}, kGerman);
    // Back to the first material ("NF" left out before, "NFE" now: class "4").
    EXPECT_EQ(data.statistics.MaterialButton.Caption.left(2), before.left(2));
    const QString again = data.statistics.MaterialButton.Caption;
    FillReportText(report_mode::Readings, data, {}, kGerman);
    FillReportText(report_mode::Project, data, {}, kGerman);
    EXPECT_EQ(data.statistics.MaterialButton.Caption, again) << "only the statistics switch the material";
}

TEST_F(ReportOfTable, OneMaterialHasOneBlockWithTheUnitOfTheReadings)
{
    data.limits = {5, QStringLiteral("5"), 50, QStringLiteral("50"), 0, {}, false};
    Add(1, "10.0", "FE");
    Add(2, "20.0", "FE");
    const QString report = FillReportText(report_mode::Statistics, data, {}, kGerman);
    EXPECT_EQ(report.count(QStringLiteral("Statistik:")), 1);
    EXPECT_TRUE(report.endsWith(QStringLiteral("Min Limit               5 \u00B5m\r\nMax Limit              50 \u00B5m\r\n")))
        << report.toStdString();
}

TEST_F(ReportOfTable, TriggerReportOnlyForTheMemoryTable)
{
    Add(1, "10.0", "FE");
    const PulseSeries pulses{QStringLiteral("t1"), QStringLiteral("x"), 1, {2.5}, {}, 0};
    EXPECT_TRUE(FillReportText(report_mode::All, data, {}, kGerman, pulses).startsWith(QStringLiteral("Triggert1 x")));
    data.state.TableMode = kOnlineSlot;
    EXPECT_FALSE(FillReportText(report_mode::All, data, {}, kGerman, pulses).contains(QStringLiteral("Trigger")));
}

TEST(ReportProjectData, TakesLabelsTextsAndDateFromTheSettings)
{
    SettingsStore store;
    store.projectLabels.Captions[0] = QStringLiteral("Kunde");
    store.projectData.Texts[0] = QStringLiteral("ACME");
    const ReportProject noDate = ProjectFromSettings(store, QTime(8, 5), QDate(2025, 1, 2));
    EXPECT_EQ(noDate.Date, QDate(2025, 1, 2));
    EXPECT_EQ(noDate.Labels[0], QStringLiteral("Kunde"));
    EXPECT_EQ(noDate.Texts[0], QStringLiteral("ACME"));
    store.projectData.Date = QDate(2024, 3, 4);
    EXPECT_EQ(ProjectFromSettings(store, QTime(8, 5), QDate(2025, 1, 2)).Date, QDate(2024, 3, 4));
}

} // namespace
} // namespace qc
