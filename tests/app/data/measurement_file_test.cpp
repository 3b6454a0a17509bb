#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <limits>
#include <sys/resource.h>
#include <sys/stat.h>

#include "data/cp1252.h"
#include "data/file_date_time.h"
#include "data/measurement_data.h"
#include "data/measurement_file.h"
#include "data/record_text.h"
#include "data/units.h"
#include "output/report_text.h"
#include "reading_rows.h"

namespace qc {
namespace {

const QString M = QStringLiteral("\u00B5m");
const QLocale kDe(QLocale::German, QLocale::Germany);
const QLocale kEn(QLocale::English, QLocale::UnitedStates);

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QString Fixture(const char* name) { return QStringLiteral(QC_FIXTURES_DIR "/") + QString::fromLatin1(name); }

Reading Row(int number, double value, const QString& unit, const QString& material, const QString& time)
{
    return test::Row(number, value, unit, material, time, QStringLiteral(" "));
}

using test::DatedRow;

DeviceProfile Profile(bool dateMode)
{
    DeviceProfile p;
    p.ProfileClass = QStringLiteral("4");
    p.ProfileProbe = QStringLiteral("2");
    p.ProfileFlag6 = dateMode ? QStringLiteral("-") : QString();
    return p;
}

void ExpectSameRow(const Reading& got, const Reading& want, bool dateMode, const std::string& where)
{
    EXPECT_EQ(got.Number, want.Number) << where;
    EXPECT_DOUBLE_EQ(got.Value, want.Value) << where;
    EXPECT_EQ(got.Unit, want.Unit) << where;
    EXPECT_EQ(got.Material, want.Material) << where;
    EXPECT_EQ(got.TimeText, want.TimeText) << where;
    if (dateMode) {
        EXPECT_EQ(got.DateTime, want.DateTime) << where;
        EXPECT_EQ(got.DateText, want.DateText) << where;
    }
}

// ---- the bytes we write ---------------------------------------------------

TEST(MesWriter, TimeModeFileEqualsTheHandWrittenFixture)
{
    ReportInput in;
    in.locale = kDe;
    in.profile = Profile(false);
    in.unit = M;
    in.project.Labels[2] = QStringLiteral("Objekt");
    in.project.Texts[2] = QStringLiteral("Br\u00FCcke 7");
    in.project.Date = QDate(2024, 12, 5);
    in.project.Time = QTime(9, 30);
    in.statistics = {QStringLiteral("Speicher 3"), QStringLiteral(" "), QStringLiteral("Statistik:"),
                     QStringLiteral("Anzahl              3")};
    in.limits = {10, QStringLiteral("10"), 200, QStringLiteral("200"), 0, {}, false};
    in.rows = {Row(1, 12.3, M, QStringLiteral("FE"), QStringLiteral("10:15:30")),
               Row(2, 150, M, QStringLiteral("NF"), QStringLiteral("10:15:31")),
               Row(3, -5.2, QStringLiteral("mils"), {}, QStringLiteral("10:15:32"))};
    EXPECT_EQ(MesFileBytes(BuildReportText(report_mode::All, in)), ReadAll(Fixture("time_mode.mes")));
}

TEST(MesWriter, DateModeFileEqualsTheHandWrittenFixture)
{
    ReportInput in;
    in.locale = kDe;
    in.profile = Profile(true);
    in.unit = M;
    in.statistics = {QStringLiteral("Speicher 1"), QStringLiteral(" "), QStringLiteral("Statistik:"),
                     QStringLiteral("Anzahl              2")};
    in.limits.TargetValue = 80;
    in.limits.TargetText = QStringLiteral("80");
    in.rows = {DatedRow(1, 12.3, M, QStringLiteral("FE"), QDateTime(QDate(2024, 12, 5), QTime(10, 15, 30)), kDe),
               DatedRow(4711, -0.5, M, QStringLiteral("DNF"), QDateTime(QDate(2024, 12, 6), QTime(0, 0)), kDe)};
    EXPECT_EQ(MesFileBytes(BuildReportText(report_mode::All, in)), ReadAll(Fixture("date_mode.mes")));
}

TEST(MesWriter, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(MesFileBytes(QStringLiteral("\u00B5m \u20AC \u4E2D\r\n")), QByteArray("\xB5m \x80 ?\r\n\r\n"));
}

// ---- reading ----------------------------------------------------------------

TEST(MesReader, HandWrittenFilesOpen)
{
    const MesReadResult t = ReadMesFile(Fixture("time_mode.mes"), {false, kDe});
    ASSERT_FALSE(t.error);
    ASSERT_EQ(t.content.rows.size(), 3u);
    ExpectSameRow(t.content.rows[0], Row(1, 12.3, M, QStringLiteral("FE"), QStringLiteral("10:15:30")), false, "1");
    ExpectSameRow(t.content.rows[1], Row(2, 150, M, QStringLiteral("NF"), QStringLiteral("10:15:31")), false, "2");
    ExpectSameRow(t.content.rows[2], Row(3, -5.2, QStringLiteral("mils"), {}, QStringLiteral("10:15:32")), false, "3");

    const MesReadResult d = ReadMesFile(Fixture("date_mode.mes"), {true, kDe});
    ASSERT_FALSE(d.error);
    ASSERT_EQ(d.content.rows.size(), 2u);
    ExpectSameRow(d.content.rows[1],
                  DatedRow(4711, -0.5, M, QStringLiteral("DNF"), QDateTime(QDate(2024, 12, 6), QTime(0, 0)), kDe), true,
                  "2");
}

// A file opens the same whatever mode the gauge in hand is in (or with no
// gauge at all): each line says its form.
TEST(MesReader, FilesOpenInEitherMode)
{
    for (const bool dateMode : {false, true}) {
        const MesReadResult t = ReadMesFile(Fixture("time_mode.mes"), {dateMode, kDe});
        ASSERT_EQ(t.content.rows.size(), 3u);
        ExpectSameRow(t.content.rows[2], Row(3, -5.2, QStringLiteral("mils"), {}, QStringLiteral("10:15:32")), false,
                      "time form");
        const MesReadResult d = ReadMesFile(Fixture("date_mode.mes"), {dateMode, kDe});
        ASSERT_EQ(d.content.rows.size(), 2u) << "the first reading is no date line";
        ExpectSameRow(d.content.rows[0],
                      DatedRow(1, 12.3, M, QStringLiteral("FE"), QDateTime(QDate(2024, 12, 5), QTime(10, 15, 30)), kDe),
                      true, "date form");
    }
}

struct LineCase {
    const char* name;
    const char16_t* line;
    bool dateMode;
    QLocale locale;
    bool isReading;
    int number;
    double value;
    const char16_t* unit;
    const char16_t* material;
};

class MesLines : public testing::TestWithParam<LineCase> {};

TEST_P(MesLines, ReadFieldByField)
{
    const LineCase& c = GetParam();
    Reading r;
    ASSERT_EQ(ParseMesLine(QString::fromUtf16(c.line), {c.dateMode, c.locale}, r), c.isReading);
    if (!c.isReading)
        return;
    EXPECT_EQ(r.Number, c.number);
    EXPECT_DOUBLE_EQ(r.Value, c.value);
    EXPECT_EQ(r.Unit, QString::fromUtf16(c.unit));
    EXPECT_EQ(r.Material, QString::fromUtf16(c.material));
}

INSTANTIATE_TEST_SUITE_P(
    Mes, MesLines,
    testing::Values(
        LineCase{"Layout", u"10:15:30         12        12.3 µm   FE", false, kEn, true, 12, 12.3, u"µm", u"FE"},
        // Four-character units and missing materials come back as written.
        LineCase{"FourCharacterUnit", u"10:15:30         12        12.3 mils FE", false, kEn, true, 12, 12.3, u"mils",
                 u"FE"},
        LineCase{"NoMaterial", u"10:15:30         12        12.3 µm   ", false, kEn, true, 12, 12.3, u"µm", u""},
        LineCase{"NoMaterialNoBlank", u"10:15:30         12        12.3 µm", false, kEn, true, 12, 12.3, u"µm", u""},
        LineCase{"ThreeLetterMaterial", u"10:15:30          1        12.3 µm   DNF", false, kEn, true, 1, 12.3, u"µm",
                 u"DNF"},
        LineCase{"OneCharacterUnit", u"10:15:30          1        0.51 G    ", false, kEn, true, 1, 0.51, u"G", u""},
        LineCase{"ValueRoundedToThree", u"10:15:30          1     12.34567 µm   ", false, kEn, true, 1, 12.346, u"µm",
                 u""},
        LineCase{"CommaFileDotLocale", u"10:15:30          1        12,3 µm   FE", false, kEn, true, 1, 12.3, u"µm",
                 u"FE"},
        LineCase{"DotFileCommaLocale", u"10:15:30          1        12.3 µm   FE", false, kDe, true, 1, 12.3, u"µm",
                 u"FE"},
        LineCase{"WideValueOneBlank", u"10:15:30          1 -123456.789 mils FE", false, kEn, true, 1, -123456.789,
                 u"mils", u"FE"},
        LineCase{"FiveDigitNumber", u"10:15:30      12345        12.3 µm   FE", false, kEn, true, 12345, 12.3, u"µm",
                 u"FE"},
        LineCase{"NumberBeyond16Bit", u"10:15:30      99999        12.3 µm   FE", false, kEn, true, 32767, 12.3,
                 u"µm", u"FE"},
        LineCase{"DateMode", u"05.12.2024 10:15:30         1        12,3 µm    FE", true, kDe, true, 1, 12.3, u"µm",
                 u"FE"},
        LineCase{"DateModeFiveCharacterUnit", u"05.12.2024 10:15:30         1        12,3 A/cmx NF", true, kDe, true,
                 1, 12.3, u"A/cmx", u"NF"},
        LineCase{"DateModeEnglish", u"12/5/2024 10:15:30 AM       1        12.3 µm    FE", true, kEn, true, 1, 12.3,
                 u"µm", u"FE"},
        LineCase{"Empty", u"", false, kEn, false, 0, 0, u"", u""},
        LineCase{"NoColon", u"1234 5678 9", false, kEn, false, 0, 0, u"", u""},
        LineCase{"NoGap", u"10:15:30 1 12.3", false, kEn, false, 0, 0, u"", u""},
        LineCase{"NoValue", u"10:15:30         12", false, kEn, false, 0, 0, u"", u""},
        LineCase{"NumberAndValueZero", u"10:15:30          0         0.0 µm   ", false, kEn, false, 0, 0, u"", u""}),
    [](const testing::TestParamInfo<LineCase>& info) { return info.param.name; });

TEST(MesReader, DateModeLineKeepsItsDateTime)
{
    Reading r;
    ASSERT_TRUE(ParseMesLine(u"05.12.2024 10:15:30         1        12,3 \u00B5m    FE", {true, kDe}, r));
    EXPECT_EQ(r.DateTime, QDateTime(QDate(2024, 12, 5), QTime(10, 15, 30)));
    EXPECT_EQ(r.DateText, QStringLiteral("05.12.2024"));
    EXPECT_EQ(r.TimeText, QStringLiteral("10:15:30"));
    // A German file opened with an English locale still knows its dates.
    ASSERT_TRUE(ParseMesLine(u"05.12.2024 10:15:30         1        12,3 \u00B5m    FE", {true, kEn}, r));
    EXPECT_EQ(r.DateTime, QDateTime(QDate(2024, 12, 5), QTime(10, 15, 30)));
    EXPECT_EQ(r.TimeText, QStringLiteral("10:15:30 AM"));
    // Files from a Windows installation leave the time out at midnight.
    ASSERT_TRUE(ParseMesLine(u"05.12.2024         1        12,3 \u00B5m    FE", {true, kDe}, r));
    EXPECT_EQ(r.DateTime, QDateTime(QDate(2024, 12, 5), QTime(0, 0)));
    EXPECT_EQ(r.Material, QStringLiteral("FE"));
    ASSERT_TRUE(ParseMesLine(u"12/5/2024            1        12.3 \u00B5m    FE", {false, kEn}, r));
    EXPECT_EQ(r.DateTime, QDateTime(QDate(2024, 12, 5), QTime(0, 0)));
    EXPECT_FALSE(ParseMesLine(u"05.12.2024", {true, kDe}, r));
    EXPECT_FALSE(ParseMesLine(u"12345      1        12,3", {true, kDe}, r));
    // A reading without date-time was written as "00:00:00".
    ASSERT_TRUE(ParseMesLine(u"00:00:00                         7        20,0 \u00B5m    ", {true, kDe}, r));
    EXPECT_FALSE(r.DateTime.isValid());
    EXPECT_EQ(r.TimeText, QStringLiteral(" "));
    EXPECT_EQ(r.Number, 7);
}

// Every hour of the day (midnight and noon with AM/PM) on days with one and
// two digits, in the date-time texts of several locales, reads back.
TEST(MesReader, DateTimeTextsOfManyLocales)
{
    const QLocale locales[] = {kDe, kEn, QLocale(QLocale::English, QLocale::UnitedKingdom),
                               QLocale(QLocale::French, QLocale::France), QLocale(QLocale::Swedish, QLocale::Sweden), QLocale(QLocale::Polish, QLocale::Poland),
                               QLocale(QLocale::Dutch, QLocale::Netherlands), QLocale::c()};
    for (const QLocale& locale : locales) {
        for (int hour = 0; hour < 24; ++hour) {
            for (const QDate day : {QDate(2024, 1, 2), QDate(2025, 12, 31)}) {
                const QDateTime when(day, QTime(hour, 7, 9));
                const QString line = LocaleDateText(day, locale) + u' ' + LocaleTimeText(when.time(), locale) +
                                     QStringLiteral("         1        12.3 \u00B5m    FE");
                Reading r;
                ASSERT_TRUE(ParseMesLine(line, {true, locale}, r)) << line.toStdString();
                EXPECT_EQ(r.DateTime, when) << line.toStdString() << " " << locale.name().toStdString();
                EXPECT_EQ(r.Material, QStringLiteral("FE")) << line.toStdString();
            }
        }
    }
}

TEST(MesReader, NumericDateTimeForms)
{
    const NumericDateTimeForm us(QStringLiteral("M/d/yyyy h:mm:ss AP"), QLocale::c());
    const NumericDateTimeForm de(QStringLiteral("dd.MM.yyyy HH:mm:ss"), QLocale::c());
    ASSERT_TRUE(us.Usable());
    ASSERT_TRUE(de.Usable());
    EXPECT_FALSE(NumericDateTimeForm(QStringLiteral("d. MMMM yyyy HH:mm"), QLocale::c()).Usable());
    EXPECT_FALSE(NumericDateTimeForm(QStringLiteral("HH:mm:ss t"), QLocale::c()).Usable());
    const std::tuple<const NumericDateTimeForm*, const char*, QDateTime> cases[] = {
        {&us, "12/5/2024 12:00:00 AM", QDateTime(QDate(2024, 12, 5), QTime(0, 0))},
        {&us, "12/5/2024 12:30:00 pm", QDateTime(QDate(2024, 12, 5), QTime(12, 30))},
        {&us, "1/15/2025 9:05:03 PM", QDateTime(QDate(2025, 1, 15), QTime(21, 5, 3))},
        {&us, "12/5/2024 13:00:00 PM", QDateTime()},
        {&us, "12/5/2024 0:00:00 AM", QDateTime()},
        {&us, "12/5/2024 10:00:00", QDateTime()},
        {&de, "05.12.2024 10:15:30", QDateTime(QDate(2024, 12, 5), QTime(10, 15, 30))},
        {&de, "31.02.2024 10:15:30", QDateTime()},
        {&de, "05.12.2024 24:00:00", QDateTime()},
        {&de, "05.12.2024 10:15:30x", QDateTime()},
        {&de, "05-12-2024 10:15:30", QDateTime()},
        {&de, "", QDateTime()},
    };
    for (const auto& [form, text, expected] : cases)
        EXPECT_EQ(form->Read(QString::fromLatin1(text)), expected) << text;
}

struct FileCase {
    const char* name;
    QByteArray bytes;
    std::vector<int> numbers; // of the rows read
    int skipped;
};

class MesTexts : public testing::TestWithParam<FileCase> {};

TEST_P(MesTexts, GiveTheirReadings)
{
    const MesContent c = ParseMesText(DecodeCp1252(GetParam().bytes), {false, kEn});
    std::vector<int> numbers;
    for (const Reading& r : c.rows)
        numbers.push_back(r.Number);
    EXPECT_EQ(numbers, GetParam().numbers);
    EXPECT_EQ(c.skippedLines, GetParam().skipped);
    EXPECT_EQ(c.dataLines, static_cast<int>(GetParam().numbers.size()));
}

const QByteArray kHeader = "Statistik:\r\nAnzahl              2\r\n\r\nMin Limit              10 \xB5m\r\n\r\n";
const QByteArray kLine1 = "10:15:30          1        12.3 \xB5m   FE";
const QByteArray kLine2 = "10:15:31          2        12.4 \xB5m   FE";

INSTANTIATE_TEST_SUITE_P(
    Mes, MesTexts,
    testing::Values(
        FileCase{"AsWritten", kHeader + kLine1 + "\r\n" + kLine2 + "\r\n\r\n", {1, 2}, 0},
        // The last reading of a file without a final line end is read too.
        FileCase{"NoTrailingLineEnd", kHeader + kLine1 + "\r\n" + kLine2, {1, 2}, 0},
        FileCase{"OnlyOneLineNoLineEnd", kLine1, {1}, 0},
        FileCase{"ExtraBlankLines", kHeader + kLine1 + "\r\n\r\n\r\n" + kLine2 + "\r\n\r\n\r\n", {1, 2}, 0},
        FileCase{"LinesWithoutColon", kHeader + kLine1 + "\r\nbemerkung\r\n12345\r\n" + kLine2 + "\r\n", {1, 2}, 2},
        FileCase{"HeaderOnly", kHeader, {}, 0},
        FileCase{"Empty", QByteArray(), {}, 0},
        FileCase{"LfOnly", "Statistik:\n\n" + kLine1 + "\n" + kLine2 + "\n", {1, 2}, 0},
        FileCase{"CrOnly", "Statistik:\r\r" + kLine1 + "\r" + kLine2 + "\r", {1, 2}, 0},
        // An older file with the date on its own line before the readings.
        FileCase{"DateLine", kHeader + "05.12.2024\r\n" + kLine1 + "\r\n" + kLine2 + "\r\n", {1, 2}, 0},
        // Undefined and high bytes are characters like any other.
        FileCase{"InvalidBytes", kHeader + "\x81\x8D\xFF\r\n" + kLine1 + "\r\n\x9D:\x90\r\n" + kLine2, {1, 2}, 1},
        FileCase{"ProjectLinesAreHeader", "#  05.12.2024 09:30\r\n#  Kunde 12:00\r\n\r\n" + kLine1, {1}, 0}),
    [](const testing::TestParamInfo<FileCase>& info) { return info.param.name; });

TEST(MesReader, DateLineGoesToTheFirstRow)
{
    const MesContent c = ParseMesText(DecodeCp1252(kHeader + "05.12.2024\r\n" + kLine1 + "\r\n" + kLine2), {false, kEn});
    ASSERT_EQ(c.rows.size(), 2u);
    EXPECT_EQ(c.rows[0].DateText, QStringLiteral("05.12.2024"));
    EXPECT_EQ(c.rows[1].DateText, QStringLiteral(" "));
}

TEST(MesReader, MoreThan5000ReadingsFill5000RowsAndSaySo)
{
    QByteArray bytes = kHeader;
    for (int i = 1; i <= kMaxRows + 7; ++i)
        bytes += "10:15:30      " + QByteArray::number(i % 10000).rightJustified(5, ' ') + "        12.3 \xB5m   FE\r\n";
    const MesContent c = ParseMesText(DecodeCp1252(bytes), {false, kEn});
    EXPECT_EQ(c.rows.size(), static_cast<size_t>(kMaxRows));
    EXPECT_EQ(c.dataLines, kMaxRows + 7);
    EXPECT_TRUE(c.Truncated());
    EXPECT_EQ(c.rows.back().Number, kMaxRows);
    EXPECT_EQ(MesTruncatedMessage(1, c.dataLines),
              QStringLiteral("The file holds 5007 readings; the table takes 5000, so only the first 5000 were loaded."));
}

// Damaged and oversized input ends in rows or nothing, never in a crash or a hang.
TEST(MesReader, RandomBytes)
{
    QByteArray noise(1024 * 1024, Qt::Uninitialized);
    quint32 x = 12345;
    for (char& c : noise) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    const MesContent random = ParseMesText(DecodeCp1252(noise), {false, kEn});
    EXPECT_LE(random.rows.size(), static_cast<size_t>(kMaxRows));
}

TEST(MesReader, HugeLines)
{
    const QByteArray wide = "10:15:30" + QByteArray(2 * 1024 * 1024, ' ') + "1" + QByteArray(1024 * 1024, ' ') + "12.5";
    const MesContent one = ParseMesText(DecodeCp1252(wide), {true, kEn});
    ASSERT_EQ(one.rows.size(), 1u);
    EXPECT_EQ(one.rows[0].Number, 1);
    EXPECT_DOUBLE_EQ(one.rows[0].Value, 12.5);

    const QByteArray digits = QByteArray(3 * 1024 * 1024, '9') + ":";
    EXPECT_TRUE(ParseMesText(DecodeCp1252(digits), {false, kEn}).rows.empty());
}

TEST(MesWriter, NonFiniteValuesStillGiveOneLineEach)
{
    ReportInput in;
    in.locale = kEn;
    in.profile = Profile(false);
    const double odd[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(), 1e300, -1e-300};
    for (int i = 0; i < 5; ++i)
        in.rows.push_back(Row(i + 1, odd[i], M, QStringLiteral("FE"), QStringLiteral("10:15:30")));
    const QString text = BuildReportText(report_mode::Readings, in);
    EXPECT_EQ(text.count(QStringLiteral("\r\n")), 6) << text.toStdString();
    const MesContent back = ParseMesText(text, {false, kEn});
    ASSERT_EQ(back.rows.size(), 5u);
    EXPECT_EQ(back.rows[4].Number, 5);
}

// ---- round trips ------------------------------------------------------------

struct TripCase {
    bool dateMode;
    bool materials;
    QLocale locale;
};

class MesRoundTrip : public testing::TestWithParam<TripCase> {};

TEST_P(MesRoundTrip, SaveThenOpenGivesTheSameRows)
{
    const TripCase& c = GetParam();
    const DeviceProfile profile = Profile(c.dateMode);
    const QStringList units = {QStringLiteral("G"), QStringLiteral("Oe"), M, QStringLiteral("Fe%"),
                               QStringLiteral("mils"), QStringLiteral("A/cm"), QStringLiteral("kA/m")};
    const QStringList materials = {QStringLiteral("FE"), QStringLiteral("NF"), QStringLiteral("DFE"),
                                   QStringLiteral("DNF")};
    const double values[] = {12.3, -5.25, 0.001, 1234.5, -0.5, 99.95, 150, 7};
    std::vector<Reading> rows;
    const QDateTime start(QDate(2024, 12, 31), QTime(23, 59, 0));
    for (int i = 1; i <= kMaxRows; ++i) {
        const QString unit = units[i % units.size()];
        const double raw = values[i % std::size(values)] * (1 + i % 3);
        const double value = FormatValue(raw, unit, profile, c.locale).RoundedValue;
        const QString material = c.materials ? materials[i % materials.size()] : QString();
        const QDateTime when = start.addSecs(i * 37);
        rows.push_back(c.dateMode ? DatedRow(i, value, unit, material, when, c.locale)
                                  : Row(i, value, unit, material, when.time().toString(QStringLiteral("HH:mm:ss"))));
    }
    ReportInput in;
    in.locale = c.locale;
    in.profile = profile;
    in.rows = rows;
    in.unit = M;
    in.statistics = {QStringLiteral("Speicher 1"), QStringLiteral(" "), QStringLiteral("Statistik:"),
                     QStringLiteral("Anzahl           5000")};
    in.project.Texts[0] = QStringLiteral("12:00 Uhr");
    in.project.Date = QDate(2024, 12, 5);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trip.mes"));
    ASSERT_FALSE(SaveMesFile(path, MesFileBytes(BuildReportText(report_mode::All, in))));
    const MesReadResult read = ReadMesFile(path, {c.dateMode, c.locale});
    ASSERT_FALSE(read.error);
    ASSERT_EQ(read.content.rows.size(), rows.size());
    EXPECT_EQ(read.content.skippedLines, 0);
    for (size_t i = 0; i < rows.size(); ++i)
        ExpectSameRow(read.content.rows[i], rows[i], c.dateMode, "row " + std::to_string(i + 1));
}

INSTANTIATE_TEST_SUITE_P(Mes, MesRoundTrip,
                         testing::Values(TripCase{false, true, kDe}, TripCase{false, false, kDe},
                                         TripCase{true, true, kDe}, TripCase{true, false, kDe},
                                         TripCase{false, true, kEn}, TripCase{false, false, kEn},
                                         TripCase{true, true, kEn}, TripCase{true, false, kEn}),
                         [](const testing::TestParamInfo<TripCase>& info) {
                             return std::string(info.param.dateMode ? "Date" : "Time") +
                                    (info.param.materials ? "Materials" : "NoMaterial") +
                                    (info.param.locale.decimalPoint() == u"," ? "Comma" : "Dot");
                         });

// A file written on a system with the other decimal separator and date form
// opens with its values and date-times intact.
TEST(MesRoundTripAcrossLocales, ValuesAndDateTimesSurvive)
{
    for (const auto& [writer, reader] : {std::pair{kEn, kDe}, std::pair{kDe, kEn}}) {
        ReportInput in;
        in.locale = writer;
        in.profile = Profile(true);
        const QDateTime start(QDate(2024, 1, 1), QTime(0, 0, 0));
        for (int i = 1; i <= kMaxRows; ++i)
            in.rows.push_back(DatedRow(i, (i % 2 ? -1 : 1) * (i % 700) / 10.0, M, QStringLiteral("FE"),
                                    start.addSecs(i * 3671), writer));
        const MesContent back = ParseMesText(BuildReportText(report_mode::All, in), {false, reader});
        ASSERT_EQ(back.rows.size(), in.rows.size());
        for (size_t i = 0; i < back.rows.size(); ++i) {
            ASSERT_EQ(back.rows[i].DateTime, in.rows[i].DateTime) << i;
            ASSERT_DOUBLE_EQ(back.rows[i].Value, in.rows[i].Value) << i;
            ASSERT_EQ(back.rows[i].Material, QStringLiteral("FE")) << i;
        }
    }
}

// ---- failures -----------------------------------------------------------------

TEST(MesFailures, OpenGivesAClearErrorAndNoRows)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("fehlt.mes"));
    const QString folder = dir.filePath(QStringLiteral("ordner.mes"));
    const QString fifo = dir.filePath(QStringLiteral("pipe.mes"));
    const QString binary = dir.filePath(QStringLiteral("bild.mes"));
    const QString huge = dir.filePath(QStringLiteral("riesig.mes"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    static const char kBinary[] = "10:15:30          1        12.3 \xB5m\r\n\0\x01";
    ASSERT_TRUE(WriteAll(binary, QByteArray(kBinary, sizeof kBinary - 1)));
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(mes::kMaxFileBytes + 1)); // sparse: takes no room
    }
    const std::pair<QString, MesFileProblem> cases[] = {
        {missing, MesFileProblem::Missing},   {folder, MesFileProblem::NotAFile},
        {fifo, MesFileProblem::NotAFile},     {binary, MesFileProblem::NotText},
        {huge, MesFileProblem::TooLarge},
    };
    for (const auto& [path, problem] : cases) {
        const MesReadResult r = ReadMesFile(path, {false, kDe});
        ASSERT_TRUE(r.error) << path.toStdString();
        EXPECT_EQ(r.error->problem, problem) << path.toStdString();
        EXPECT_EQ(r.error->path, path);
        EXPECT_TRUE(r.content.rows.empty());
    }
}

TEST(MesFailures, MessagesNameTheFileAndWhatHappens)
{
    const MesFileError missing{MesFileProblem::Missing, QStringLiteral("/x/a.mes"), {}};
    EXPECT_EQ(missing.Message(0), QStringLiteral("Die Datei wurde nicht gefunden: /x/a.mes. Die Tabelle bleibt unverändert."));
    EXPECT_EQ(missing.Message(1), QStringLiteral("The file was not found: /x/a.mes. The table is unchanged."));
    const MesFileError write{MesFileProblem::WriteFailed, QStringLiteral("/x/a.mes"), QStringLiteral("No space left")};
    EXPECT_EQ(write.Message(1),
              QStringLiteral("The file could not be saved: /x/a.mes (No space left). The previous file is unchanged."));
    EXPECT_EQ(write.Message(0), QStringLiteral("Die Datei konnte nicht gespeichert werden: /x/a.mes (No space left). "
                                               "Die bisherige Datei bleibt unverändert."));
    const MesFileError folder{MesFileProblem::FolderFailed, QStringLiteral("/x"), {}};
    EXPECT_EQ(folder.Message(1), QStringLiteral("The folder cannot be created: /x"));
}

// A disk that fills up half-way: the file size limit makes every write past
// it fail, as a full disk does.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

TEST(MesFailures, SaveFailingHalfWayKeepsThePreviousFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("probe.mes"));
    const QByteArray previous = "Statistik:\r\n\r\n" + kLine1 + "\r\n\r\n";
    ASSERT_FALSE(SaveMesFile(path, previous));
    QByteArray big;
    for (int i = 0; i < kMaxRows; ++i)
        big += kLine1 + "\r\n";
    std::optional<MesFileError> error;
    {
        FileSizeLimit limit(16 * 1024);
        error = SaveMesFile(path, big);
    }
    ASSERT_TRUE(error);
    EXPECT_EQ(error->problem, MesFileProblem::WriteFailed);
    EXPECT_FALSE(error->detail.isEmpty());
    EXPECT_EQ(ReadAll(path), previous);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("probe.mes")})
        << "no temporary file is left behind";
    // Room again: the same save replaces the file.
    ASSERT_FALSE(SaveMesFile(path, big));
    EXPECT_EQ(ReadAll(path), big);
}

TEST(MesFailures, SaveOntoAFolderOrIntoAMissingFolderFails)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("ordner.mes"));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/inner")));
    auto onFolder = SaveMesFile(folder, "x");
    ASSERT_TRUE(onFolder);
    EXPECT_EQ(onFolder->problem, MesFileProblem::NotAFile);
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/inner")).isDir());
    auto missing = SaveMesFile(dir.filePath(QStringLiteral("fehlt/a.mes")), "x");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->problem, MesFileProblem::WriteFailed);
}

// ---- names and folders --------------------------------------------------------

TEST(MesNames, SavePathGetsTheExtensionWhenMissing)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},          {" ", ""},
        {"/a/probe", "/a/probe.mes"}, {"/a/probe.mes", "/a/probe.mes"},
        {"/a/probe.mes.txt", "/a/probe.mes.txt"}, {"/a/PROBE.MES", "/a/PROBE.MES.mes"},
        {"  ", "  .mes"},
    };
    for (const auto& [chosen, path] : cases)
        EXPECT_EQ(MesSavePath(QString::fromUtf8(chosen)), QString::fromUtf8(path)) << chosen;
}

TEST(MesNames, FoldersBelowTheDataFolder)
{
    EXPECT_EQ(MeasurementFolder(QStringLiteral("/d")), QStringLiteral("/d/mes"));
    EXPECT_EQ(GaugeFolder(QStringLiteral("/d"), QStringLiteral("1234")), QStringLiteral("/d/mes/1234"));
    EXPECT_EQ(GaugeFolder(QStringLiteral("/d"), QStringLiteral("../../x")),
              QStringLiteral("/d/mes/~_002E_002E_002F_002E_002E_002Fx"));
    EXPECT_NE(GaugeFolder(QStringLiteral("/d"), QStringLiteral("12/34")),
              GaugeFolder(QStringLiteral("/d"), QStringLiteral("12_34")));
    EXPECT_EQ(GaugeFolder(QStringLiteral("/d"), QString()), QStringLiteral("/d/mes"));
    EXPECT_EQ(MesMemoryCaption(QStringLiteral("/d/mes/12/Probe 1.mes"), 25), QStringLiteral("Probe 1.mes (25)"));
}

TEST(MesNames, EnsureGaugeFolderCreatesOrTells)
{
    QTemporaryDir dir;
    EXPECT_FALSE(EnsureGaugeFolder(dir.path(), QStringLiteral("77")));
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("mes/77"))).isDir());
    ASSERT_TRUE(WriteAll(dir.filePath(QStringLiteral("mes/88")), "a file where the folder belongs"));
    const auto error = EnsureGaugeFolder(dir.path(), QStringLiteral("88"));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->problem, MesFileProblem::FolderFailed);
}

// ---- into the table -----------------------------------------------------------

TEST(MesTable, ReadingsReplaceTheMemoryTableAndRebuildTheStatistics)
{
    MeasurementData data;
    data.locale = kDe;
    data.gauge.profile = Profile(false);
    data.state.TableMode = kOnlineSlot;
    data.table.Row(kOnlineSlot, 1) = Row(1, 99, M, {}, QStringLiteral("09:00:00"));
    data.table.Row(kMemorySlot, 3) = Row(3, 1, M, {}, QStringLiteral("09:00:00"));
    const MesReadResult read = ReadMesFile(Fixture("time_mode.mes"), {false, kDe});
    ASSERT_FALSE(read.error);
    EXPECT_EQ(TakeMesReadings(data, read.content.rows, QDateTime::currentDateTime()), 3);
    EXPECT_EQ(data.state.TableMode, kMemorySlot);
    EXPECT_TRUE(data.state.FileLoaded);
    EXPECT_EQ(data.ReadingCount(), 3);
    EXPECT_EQ(data.statistics.StatCount, 3);
    EXPECT_EQ(data.model.rowCount(), 3);
    EXPECT_EQ(data.table.ReadingCount(kOnlineSlot), 1) << "the online table is not touched";
    EXPECT_EQ(data.state.CountSuffix, QStringLiteral(" (3)"));
}

} // namespace
} // namespace qc
