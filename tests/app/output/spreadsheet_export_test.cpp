#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <functional>

#include "data/measurement_data.h"
#include "output/export_inputs.h"
#include "output/spreadsheet_export.h"
#include "shell/texts.h"
#include "xlsx_readback.h"
#include "../data/reading_rows.h"

namespace qc {
namespace {

using test::CellFormatOf;
using test::CellValue;
using test::ReadWorkbook;

const QString kMicro = QStringLiteral("\u00B5m");

Reading Row(int number, double value, const QString& material = QStringLiteral("FE"))
{
    Reading r;
    r.Number = static_cast<qint16>(number);
    r.Value = value;
    r.Unit = kMicro;
    r.Material = material;
    r.DateText = QStringLiteral("05.12.2024");
    r.TimeText = QStringLiteral("10:15:%1").arg(number % 60, 2, 10, QLatin1Char('0'));
    return r;
}

// Three readings of a gauge with two decimals, limits 9..15, target 12.
SpreadsheetInput Base()
{
    SpreadsheetInput in;
    in.reportHeader = QStringLiteral("#  05.12.2024 09:30\r\n#  Objekt Br\u00FCcke\r\n\r\n");
    in.language = kGerman;
    in.memoryName = QStringLiteral("1");
    in.blocks.push_back({QString(), 3, 11, 13, 12, 1, true, QStringLiteral("Ja")});
    in.limits = {9, QStringLiteral("9"), 15, QStringLiteral("15"), 12, QStringLiteral("12"), false};
    in.unit = kMicro;
    in.profile.ProfileClass = QStringLiteral("4");
    in.profile.ProfileProbe = QStringLiteral("2");
    in.profile.ProfileFlag7 = QStringLiteral("2");
    in.locale = QLocale(QLocale::German, QLocale::Germany);
    in.headerTexts = {QStringLiteral("Datum Zeit"), QStringLiteral("Nr."), QStringLiteral("Messwert"),
                      QStringLiteral("Messeinheit")};
    for (int i = 1; i <= 3; ++i)
        in.rows.push_back(Row(i, 10 + i));
    in.chartTitle = QStringLiteral("Speicher 1");
    in.withChart = true;
    return in;
}

QString Text(const QJsonValue& v)
{
    if (v.isDouble())
        return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}

// Rows from..to of the data sheet as "A|B|C".
QStringList Rows(const QJsonObject& book, int from, int to)
{
    QStringList out;
    for (int r = from; r <= to; ++r) {
        QStringList cols;
        for (const char* c : {"A", "B", "C"})
            cols << Text(CellValue(book, QString::fromLatin1(c) + QString::number(r)));
        out << cols.join(u'|');
    }
    return out;
}

QStringList SeriesNames(const QJsonObject& book)
{
    QStringList names;
    const QJsonArray charts = book[QStringLiteral("charts")].toArray();
    if (charts.isEmpty())
        return names;
    for (const QJsonValue& s : charts[0].toObject()[QStringLiteral("series")].toArray())
        names << s.toObject()[QStringLiteral("name")].toString();
    return names;
}

QStringList SheetNames(const QJsonObject& book)
{
    QStringList names;
    for (const QJsonValue& s : book[QStringLiteral("sheets")].toArray()) {
        const QJsonArray a = s.toArray();
        names << a[0].toString() + u':' + a[1].toString() + u':' + a[2].toString();
    }
    return names;
}

QJsonObject WriteAndRead(const SpreadsheetInput& in, QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("book.xlsx"));
    const auto error = WriteSpreadsheet(path, in);
    EXPECT_FALSE(error) << error->toStdString();
    const QJsonObject book = ReadWorkbook(path);
    EXPECT_FALSE(book.contains(QStringLiteral("error"))) << book[QStringLiteral("error")].toString().toStdString();
    return book;
}

const QStringList kWithChart{QStringLiteral("Messwerte:work:visible"), QStringLiteral("ChartLines:work:hidden"),
                             QStringLiteral("Chart:chart:visible")};
const QStringList kWithoutChart{QStringLiteral("Messwerte:work:visible")};

struct BookCase {
    const char* name;
    std::function<void(SpreadsheetInput&)> change;
    QStringList statistics; // rows 4 .. up to the row before the empty one
    QStringList sheets;
    QStringList series;
};

void PrintTo(const BookCase& c, std::ostream* os) { *os << c.name; }

class Workbook : public testing::TestWithParam<BookCase> {};

TEST_P(Workbook, StatisticsSheetsAndSeries)
{
    SpreadsheetInput in = Base();
    GetParam().change(in);
    QTemporaryDir dir;
    const QJsonObject book = WriteAndRead(in, dir);
    const QStringList& stats = GetParam().statistics;
    const int last = 4 + static_cast<int>(stats.size()) - 1;
    EXPECT_EQ(Rows(book, 1, 3), (QStringList{QStringLiteral("#  05.12.2024 09:30||"), QStringLiteral("#  Objekt Br\u00FCcke||"),
                                             QStringLiteral("||")}));
    EXPECT_EQ(Rows(book, 4, last), stats);
    // One empty row, the header, one empty row, the readings.
    EXPECT_EQ(Rows(book, last + 1, last + 1), QStringList{QStringLiteral("||")});
    EXPECT_EQ(Text(CellValue(book, QStringLiteral("A%1").arg(last + 2))), QStringLiteral("Datum Zeit"));
    EXPECT_EQ(Text(CellValue(book, QStringLiteral("E%1").arg(last + 2))), QStringLiteral("Material"));
    const int f = last + 4;
    EXPECT_EQ(Rows(book, f, f + 2), (QStringList{QStringLiteral(" 05.12.2024 10:15:01|1|11"),
                                                 QStringLiteral(" 05.12.2024 10:15:02|2|12"),
                                                 QStringLiteral(" 05.12.2024 10:15:03|3|13")}));
    EXPECT_EQ(book[QStringLiteral("max_row")].toInt(), f + 2);
    EXPECT_EQ(SheetNames(book), GetParam().sheets);
    EXPECT_EQ(SeriesNames(book), GetParam().series);
}

const QStringList kFullBlock{
    QStringLiteral("Statistik: 1 abs||"), QStringLiteral("Anzahl|3|"),   QStringLiteral("Minimum|11|\u00B5m"),
    QStringLiteral("Maximum|13|\u00B5m"), QStringLiteral("Mittelwert|12|\u00B5m"), QStringLiteral("Std.Abw.|1|\u00B5m"),
    QStringLiteral("Regel 80/20 ok:|Ja|"), QStringLiteral("Min Limit|9|\u00B5m"), QStringLiteral("Max Limit|15|\u00B5m"),
    QStringLiteral("Sollwert    |12|\u00B5m")};

QStringList Without(QStringList list, const QStringList& drop)
{
    for (const QString& d : drop)
        list.removeAll(d);
    return list;
}

const QStringList kAllSeries{QStringLiteral("Daten"), QStringLiteral("Mittelwert"), QStringLiteral("Maximum"),
                             QStringLiteral("Minimum"), QStringLiteral("Sollwert    ")};

INSTANTIATE_TEST_SUITE_P(
    Output, Workbook,
    testing::Values(
        BookCase{"LimitsAndTarget", [](SpreadsheetInput&) {}, kFullBlock, kWithChart, kAllSeries},
        BookCase{"UnitsDiffer", [](SpreadsheetInput& in) { in.unitsDiffer = true; },
                 {QStringLiteral("Statistik: 1 abs||"), QStringLiteral(" Statistik nicht m\u00F6glich,||"),
                  QStringLiteral(" da verschiedene||"), QStringLiteral(" Messeinheiten ||")},
                 kWithoutChart, {}},
        BookCase{"NoLimitsNoTarget", [](SpreadsheetInput& in) { in.limits = {}; },
                 Without(kFullBlock, {QStringLiteral("Min Limit|9|\u00B5m"), QStringLiteral("Max Limit|15|\u00B5m"),
                                      QStringLiteral("Sollwert    |12|\u00B5m")}),
                 kWithChart, {QStringLiteral("Daten"), QStringLiteral("Mittelwert")}},
        BookCase{"OnlyMaximumLimit",
                 [](SpreadsheetInput& in) { in.limits = {0, {}, 15, QStringLiteral("15"), 0, {}, false}; },
                 Without(kFullBlock, {QStringLiteral("Min Limit|9|\u00B5m"), QStringLiteral("Sollwert    |12|\u00B5m")})
                     .replaceInStrings(QStringLiteral("Regel 80/20 ok:|Ja|"),
                                       QStringLiteral("Regel 80/20 ok:|Ja|\nMin Limit|0|\u00B5m"))
                     .join(u'\n')
                     .split(u'\n'),
                 kWithChart, Without(kAllSeries, {QStringLiteral("Sollwert    ")})},
        BookCase{"OnlyTarget", [](SpreadsheetInput& in) { in.limits = {0, {}, 0, {}, 12, QStringLiteral("12"), false}; },
                 Without(kFullBlock, {QStringLiteral("Min Limit|9|\u00B5m"), QStringLiteral("Max Limit|15|\u00B5m")}),
                 kWithChart, {QStringLiteral("Daten"), QStringLiteral("Mittelwert"), QStringLiteral("Sollwert    ")}},
        BookCase{"TwoReadingsNoStandardDeviation", [](SpreadsheetInput& in) { in.blocks[0].count = 2; },
                 Without(kFullBlock, {QStringLiteral("Std.Abw.|1|\u00B5m")})
                     .replaceInStrings(QStringLiteral("Anzahl|3|"), QStringLiteral("Anzahl|2|")),
                 kWithChart, kAllSeries},
        BookCase{"AnsweredNo", [](SpreadsheetInput& in) { in.withChart = false; }, kFullBlock, kWithoutChart, {}},
        BookCase{"SignedValuesWithoutAbs", [](SpreadsheetInput& in) { in.blocks[0].absolute = false; },
                 QStringList(kFullBlock).replaceInStrings(QStringLiteral("Statistik: 1 abs"), QStringLiteral("Statistik: 1")),
                 kWithChart, kAllSeries},
        BookCase{"English",
                 [](SpreadsheetInput& in) {
                     in.language = kEnglish;
                     in.limits = {};
                 },
                 {QStringLiteral("Statistics: 1 abs||"), QStringLiteral("Count|3|"), QStringLiteral("Minimum|11|\u00B5m"),
                  QStringLiteral("Maximum|13|\u00B5m"), QStringLiteral("Average|12|\u00B5m"),
                  QStringLiteral("Std.Dev|1|\u00B5m"), QStringLiteral("rule 80/20 ok:|Ja|")},
                 {QStringLiteral("Data:work:visible"), QStringLiteral("ChartLines:work:hidden"),
                  QStringLiteral("Chart:chart:visible")},
                 {QStringLiteral("Data"), QStringLiteral("Average")}}),
    [](const testing::TestParamInfo<BookCase>& info) { return info.param.name; });

TEST(WorkbookChart, TitlesColoursDashesAndLineEnds)
{
    QTemporaryDir dir;
    SpreadsheetInput in = Base();
    in.rows[1].Number = 7; // numbers need not be 1..n: the lines span the numbers
    const QJsonObject book = WriteAndRead(in, dir);
    const QJsonObject chart = book[QStringLiteral("charts")].toArray()[0].toObject();
    EXPECT_EQ(chart[QStringLiteral("type")].toString(), QStringLiteral("scatterChart"));
    EXPECT_EQ(chart[QStringLiteral("title")].toString(), QStringLiteral("Speicher 1"));
    EXPECT_EQ(chart[QStringLiteral("x_title")].toString(), QStringLiteral("Anzahl"));
    EXPECT_EQ(chart[QStringLiteral("y_title")].toString(), QStringLiteral("Messwerte"));
    EXPECT_EQ(chart[QStringLiteral("legend")].toString(), QStringLiteral("b"));
    EXPECT_EQ(chart[QStringLiteral("plot_fill")].toArray(), QJsonArray{QStringLiteral("F0F0F0")});
    EXPECT_TRUE(chart[QStringLiteral("area_no_fill")].toBool());
    EXPECT_EQ(chart[QStringLiteral("markers")].toArray().size(), 5);
    for (const QJsonValue& m : chart[QStringLiteral("markers")].toArray())
        EXPECT_EQ(m.toString(), QStringLiteral("none"));

    struct Expected {
        const char* colour;
        const char* dash;
        const char* x;
        const char* y;
    };
    const Expected expected[] = {
        {"000000", "solid", "'Messwerte'!$B$17:$B$19", "'Messwerte'!$C$17:$C$19"},
        {"0000CD", "sysDot", "'ChartLines'!$A$1:$A$2", "'ChartLines'!$B$1:$B$2"},
        {"00B050", "dash", "'ChartLines'!$A$1:$A$2", "'ChartLines'!$C$1:$C$2"},
        {"00B050", "dash", "'ChartLines'!$A$1:$A$2", "'ChartLines'!$D$1:$D$2"},
        {"EE2C2C", "solid", "'ChartLines'!$A$1:$A$2", "'ChartLines'!$E$1:$E$2"},
    };
    const QJsonArray series = chart[QStringLiteral("series")].toArray();
    ASSERT_EQ(series.size(), 5);
    for (int i = 0; i < 5; ++i) {
        const QJsonObject s = series[i].toObject();
        EXPECT_EQ(s[QStringLiteral("colour")].toString(), QString::fromLatin1(expected[i].colour)) << i;
        EXPECT_EQ(s[QStringLiteral("dash")].toString(), QString::fromLatin1(expected[i].dash)) << i;
        EXPECT_EQ(s[QStringLiteral("x")].toString(), QString::fromLatin1(expected[i].x)) << i;
        EXPECT_EQ(s[QStringLiteral("y")].toString(), QString::fromLatin1(expected[i].y)) << i;
    }
    EXPECT_GT(series[4].toObject()[QStringLiteral("width")].toDouble(), 0) << "the target line stands out";

    // Line ends: X from the smallest to the largest reading number; the
    // values of the mean, limit and target cells.
    const QJsonObject lines = book[QStringLiteral("lines")].toObject();
    auto at = [&](const char* cell) { return lines[QString::fromLatin1(cell)].toArray()[0].toDouble(); };
    EXPECT_EQ(at("A1"), 1);
    EXPECT_EQ(at("A2"), 7);
    for (const char* c : {"B1", "B2"})
        EXPECT_EQ(at(c), 12);
    for (const char* c : {"C1", "C2"})
        EXPECT_EQ(at(c), 15);
    for (const char* c : {"D1", "D2"})
        EXPECT_EQ(at(c), 9);
    for (const char* c : {"E1", "E2"})
        EXPECT_EQ(at(c), 12);
}

TEST(WorkbookLayout, FontOfEveryCellAndColumnWidths)
{
    QTemporaryDir dir;
    const QJsonObject book = WriteAndRead(Base(), dir);
    const QJsonObject cells = book[QStringLiteral("cells")].toObject();
    ASSERT_FALSE(cells.isEmpty());
    for (auto it = cells.begin(); it != cells.end(); ++it)
        EXPECT_EQ(it.value().toArray()[2].toArray(), (QJsonArray{QStringLiteral("Lucida Console"), true, 10.0}))
            << it.key().toStdString();
    const QJsonObject widths = book[QStringLiteral("widths")].toObject();
    // The file holds the width plus the cell padding the program adds.
    EXPECT_NEAR(widths[QStringLiteral("A")].toDouble(), 50, 1);
    EXPECT_NEAR(widths[QStringLiteral("C")].toDouble(), 17, 1);
    EXPECT_NEAR(widths[QStringLiteral("D")].toDouble(), 15, 1);
}

struct FormatCase {
    const char* code;
    const char* statistic; // B6, the minimum
    const char* value;     // C17, the first reading
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << "code \"" << c.code << '"'; }

class WorkbookFormats : public testing::TestWithParam<FormatCase> {};

TEST_P(WorkbookFormats, FollowTheDecimalsCode)
{
    SpreadsheetInput in = Base();
    in.profile.ProfileFlag7 = QString::fromLatin1(GetParam().code);
    in.blocks[0].minimum = 11.23456;
    QTemporaryDir dir;
    const QJsonObject book = WriteAndRead(in, dir);
    EXPECT_EQ(CellFormatOf(book, QStringLiteral("B5")), QStringLiteral("###0_______)")) << "the count";
    for (const char* cell : {"B6", "B7", "B8", "B9", "B11", "B12", "B13"})
        EXPECT_EQ(CellFormatOf(book, QString::fromLatin1(cell)), QString::fromLatin1(GetParam().statistic)) << cell;
    for (const char* cell : {"C17", "C18", "C19"})
        EXPECT_EQ(CellFormatOf(book, QString::fromLatin1(cell)), QString::fromLatin1(GetParam().value)) << cell;
    EXPECT_EQ(CellFormatOf(book, QStringLiteral("B17")), QStringLiteral("General"));
    // The minimum is rounded to the code's decimals (none for another code).
    const double expected = QByteArray(GetParam().code) == "1"   ? 11.2
                            : QByteArray(GetParam().code) == "2" ? 11.23
                            : QByteArray(GetParam().code) == "3" ? 11.235
                                                                 : 11.23456;
    EXPECT_DOUBLE_EQ(CellValue(book, QStringLiteral("B6")).toDouble(), expected);
}

INSTANTIATE_TEST_SUITE_P(Output, WorkbookFormats,
                         testing::Values(FormatCase{"1", "General", "###,##0.0_)"},
                                         FormatCase{"2", "###,##0.00_)", "###,##0.00_)"},
                                         FormatCase{"3", "###,##0.000_)", "###,##0.000_)"},
                                         FormatCase{"", "General", "General"},
                                         FormatCase{"x", "General", "General"}),
                         [](const testing::TestParamInfo<FormatCase>& info) {
                             return std::string("Code") + (*info.param.code ? info.param.code : "None");
                         });

TEST(WorkbookRows, FiveThousandReadingsFillRowsFToFPlus4999)
{
    SpreadsheetInput in = Base();
    in.rows.clear();
    for (int i = 1; i <= kMaxRows + 1; ++i)
        in.rows.push_back(Row(i % 30000, 20 + (i % 97) * 0.5));
    QTemporaryDir dir;
    const QJsonObject book = WriteAndRead(in, dir);
    const int f = 17;
    const int last = f + kMaxRows - 1;
    EXPECT_EQ(Rows(book, f, f), QStringList{QStringLiteral(" 05.12.2024 10:15:01|1|20.5")});
    EXPECT_EQ(Text(CellValue(book, QStringLiteral("B%1").arg(last))), QStringLiteral("5000"));
    EXPECT_EQ(book[QStringLiteral("max_row")].toInt(), last);
    for (int r = f; r <= last; r += 499)
        EXPECT_EQ(CellFormatOf(book, QStringLiteral("C%1").arg(r)), QStringLiteral("###,##0.00_)")) << r;
    const QJsonObject series = book[QStringLiteral("charts")].toArray()[0].toObject()[QStringLiteral("series")].toArray()[0].toObject();
    EXPECT_EQ(series[QStringLiteral("y")].toString(), QStringLiteral("'Messwerte'!$C$17:$C$%1").arg(last));
}

TEST(WorkbookRows, EndAtTheFirstEmptyRowAndCutUnitAndMaterial)
{
    SpreadsheetInput in = Base();
    in.rows[0].Unit = QStringLiteral("12345678901234");
    in.rows[0].Material = QStringLiteral("  DFE-long-material  ");
    in.rows[1] = Reading(); // the end
    QTemporaryDir dir;
    const QJsonObject book = WriteAndRead(in, dir);
    EXPECT_EQ(Text(CellValue(book, QStringLiteral("D17"))), QStringLiteral("1234567890"));
    EXPECT_EQ(Text(CellValue(book, QStringLiteral("E17"))), QStringLiteral("DFE-long-m"));
    EXPECT_EQ(book[QStringLiteral("max_row")].toInt(), 17);
}

TEST(WorkbookRows, ValuesAreTheFormattedNumbersInEitherLocale)
{
    for (const QLocale& locale : {QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::English, QLocale::UnitedStates)}) {
        SpreadsheetInput in = Base();
        in.locale = locale;
        in.rows[0].Value = 12.345; // µm shows one decimal under 100
        in.rows[1].Value = 1234.5;
        QTemporaryDir dir;
        const QJsonObject book = WriteAndRead(in, dir);
        EXPECT_DOUBLE_EQ(CellValue(book, QStringLiteral("C17")).toDouble(), 12.3) << locale.name().toStdString();
        EXPECT_DOUBLE_EQ(CellValue(book, QStringLiteral("C18")).toDouble(), 1234) << locale.name().toStdString();
        EXPECT_TRUE(CellValue(book, QStringLiteral("B17")).isDouble());
    }
}

TEST(WorkbookTrigger, PulseRowsTimesAndTitleWithoutMeanLine)
{
    SpreadsheetInput in = Base();
    in.memoryName = QStringLiteral("t1  ");
    in.unit = QStringLiteral("V");
    in.trigger = PulseSeries{QStringLiteral("t1"), QStringLiteral("Impuls 1 kHz"), 2.125, {1.234, -2.5, 3.75},
                             QStringLiteral("V"), 500};
    in.blocks[0] = {QString(), 3, -2.5, 3.75, 0, 0, false, QStringLiteral("Nein ")};
    in.limits = {1, QStringLiteral("1"), 3, QStringLiteral("3"), 0, {}, false};
    in.rows.clear();
    QTemporaryDir dir;
    const QJsonObject book = WriteAndRead(in, dir);
    EXPECT_EQ(Rows(book, 4, 13), (QStringList{QStringLiteral("Statistik: t1  ||"), QStringLiteral("Anzahl|3|"),
                                              QStringLiteral("Minimum|-2.5|V"), QStringLiteral("Maximum|3.75|V"),
                                              QStringLiteral("Impulszeit|2.12|ms"), QStringLiteral("||"),
                                              QStringLiteral("Regel 80/20 ok:|Nein |"), QStringLiteral("Min Limit|1|V"),
                                              QStringLiteral("Max Limit|3|V"), QStringLiteral("||")}));
    EXPECT_EQ(Rows(book, 16, 18), (QStringList{QStringLiteral("|0.5|1.23"), QStringLiteral("|1|-2.5"),
                                               QStringLiteral("|1.5|3.75")}));
    EXPECT_EQ(Text(CellValue(book, QStringLiteral("D16"))), QStringLiteral("V"));
    const QJsonObject chart = book[QStringLiteral("charts")].toArray()[0].toObject();
    EXPECT_EQ(chart[QStringLiteral("title")].toString(), QStringLiteral("Chart Trigger t1 (Impuls 1 kHz)"));
    EXPECT_EQ(chart[QStringLiteral("x_title")].toString(), QStringLiteral("Dauer in ms"));
    EXPECT_EQ(SeriesNames(book), (QStringList{QStringLiteral("Daten"), QStringLiteral("Maximum"), QStringLiteral("Minimum")}));
    const QJsonObject lines = book[QStringLiteral("lines")].toObject();
    EXPECT_EQ(lines[QStringLiteral("A1")].toArray()[0].toDouble(), 0.5);
    EXPECT_EQ(lines[QStringLiteral("A2")].toArray()[0].toDouble(), 1.5);
}

TEST(WorkbookTrigger, WithoutSamplingIntervalThePulsesAreCounted)
{
    SpreadsheetInput in = Base();
    in.trigger = PulseSeries{QStringLiteral("t1"), QString(), 1, {1, 2}, QStringLiteral("V"), 0};
    QTemporaryDir dir;
    const QJsonObject book = WriteAndRead(in, dir);
    EXPECT_EQ(Text(CellValue(book, QStringLiteral("B17"))), QStringLiteral("1"));
    EXPECT_EQ(Text(CellValue(book, QStringLiteral("B18"))), QStringLiteral("2"));
    EXPECT_EQ(book[QStringLiteral("charts")].toArray()[0].toObject()[QStringLiteral("x_title")].toString(),
              QStringLiteral("Anzahl"));
}

TEST(WorkbookInput, HostileTextsAndNonFiniteNumbersStillGiveAReadableBook)
{
    SpreadsheetInput in = Base();
    in.reportHeader = QStringLiteral("#  a\x01" "b\x1F" "c <&> \"q\" \U0001F600\r\n") + QString(40000, u'x') +
                      QStringLiteral("\r\nno line end");
    in.memoryName = QStringLiteral("<m&1>");
    in.blocks[0].mean = NAN;
    in.blocks[0].stdDev = INFINITY;
    in.rows[0].Value = NAN;
    in.rows[1].DateText = QStringLiteral("\x07");
    in.chartTitle = QStringLiteral("\x02title");
    QTemporaryDir dir;
    const QJsonObject book = WriteAndRead(in, dir);
    EXPECT_EQ(Text(CellValue(book, QStringLiteral("A1"))), QStringLiteral("#  abc <&> \"q\" \U0001F600"));
    EXPECT_EQ(Text(CellValue(book, QStringLiteral("A2"))).size(), 32767);
    EXPECT_EQ(Text(CellValue(book, QStringLiteral("A3"))), QStringLiteral("Statistik: <m&1> abs"));
    EXPECT_FALSE(CellValue(book, QStringLiteral("B7")).isDouble()) << "no number for a mean that is none";
    EXPECT_EQ(SeriesNames(book).size(), 5);
    EXPECT_EQ(book[QStringLiteral("charts")].toArray()[0].toObject()[QStringLiteral("title")].toString(),
              QStringLiteral("title"));
}

TEST(WorkbookInput, NoReadingsGiveTheSheetWithoutChart)
{
    SpreadsheetInput in = Base();
    in.rows.clear();
    QTemporaryDir dir;
    const QJsonObject book = WriteAndRead(in, dir);
    EXPECT_EQ(SheetNames(book), kWithoutChart);
}

TEST(WorkbookFailure, UnwritablePlacesReportAndLeaveNoFile)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("sub"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString missing = dir.filePath(QStringLiteral("missing/book.xlsx"));
    for (const QString& path : {folder, missing}) {
        const auto error = WriteSpreadsheet(path, Base());
        ASSERT_TRUE(error) << path.toStdString();
        EXPECT_FALSE(error->isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST(CellNames, LettersForEveryFullTwentySix)
{
    const std::pair<int, const char*> cases[] = {{1, "A1"}, {26, "Z1"}, {27, "AA1"}, {52, "AZ1"},
                                                 {53, "BA1"}, {702, "ZZ1"}, {703, "AAA1"}};
    for (const auto& [column, name] : cases)
        EXPECT_EQ(CellName(1, column), QString::fromLatin1(name)) << column;
    EXPECT_EQ(CellName(5011, 3, true), QStringLiteral("$C$5011"));
}

// The table of the main window through SpreadsheetFromData.
class WorkbookOfTable : public testing::Test {
protected:
    void SetUp() override
    {
        data.locale = QLocale(QLocale::German, QLocale::Germany);
        data.gauge.profile.ProfileClass = QStringLiteral("4");
        data.gauge.profile.ProfileProbe = QStringLiteral("2");
        data.gauge.profile.ProfileFlag7 = QStringLiteral("2");
        data.statTexts = {StatText(0, 1), StatText(0, 2), StatText(0, 3), StatText(0, 4), StatText(0, 5),
                          StatText(0, 6), {StatText(0, 7), StatText(0, 8), StatText(0, 9)}, StatText(0, 11),
                          StatText(0, 14), QStringLiteral("Ja"), QStringLiteral("Nein ")};
        data.memoryCaption = QStringLiteral("Speicher 3");
        data.ApplyContext();
        data.ResetStatistic();
    }
    void Add(int number, const char* value, const char* material, const char* unit = " \u00B5m  ")
    {
        data.FillMessdaten(test::GaugeRecord(number, value, material, unit),
                           QDateTime(QDate(2024, 12, 5), QTime(11, 0, 0)));
    }
    MeasurementData data;
};

TEST_F(WorkbookOfTable, TwoMaterialsGiveTwoBlocksAndStaySwitched)
{
    data.gauge.identity.ModelGroup = QStringLiteral("JV");
    Add(1, "10.0", "FE");
    Add(2, "20.0", "NFE");
    Add(3, "30.0", "FE");
    ASSERT_TRUE(data.statistics.MaterialButton.Visible);
    const QString before = data.statistics.MaterialButton.Caption;
    const SpreadsheetInput in = SpreadsheetFromData(data, QString(), kGerman, QStringLiteral("3"), std::nullopt, true);
    EXPECT_NE(data.statistics.MaterialButton.Caption, before) << "the table shows the other material afterwards";
    ASSERT_EQ(in.blocks.size(), 2u);
    EXPECT_EQ(in.rows.size(), 3u);
    QTemporaryDir dir;
    const QJsonObject book = WriteAndRead(in, dir);
    EXPECT_EQ(Rows(book, 1, 7), (QStringList{QStringLiteral("FE Statistik: 3 abs||"), QStringLiteral("Anzahl|2|"),
                                             QStringLiteral("Minimum|10|\u00B5m"), QStringLiteral("Maximum|30|\u00B5m"),
                                             QStringLiteral("Mittelwert|20|\u00B5m"),
                                             QStringLiteral("Regel 80/20 ok:||"),
                                             QStringLiteral("NF Statistik: 3 abs||")}));
    EXPECT_EQ(Rows(book, 8, 12), (QStringList{QStringLiteral("Anzahl|1|"), QStringLiteral("Minimum|20|\u00B5m"),
                                              QStringLiteral("Maximum|20|\u00B5m"), QStringLiteral("Mittelwert|20|\u00B5m"),
                                              QStringLiteral("Regel 80/20 ok:||")}));
    // The mean line comes from the last block.
    EXPECT_EQ(book[QStringLiteral("lines")].toObject()[QStringLiteral("B1")].toArray()[0].toDouble(), 20);
    EXPECT_EQ(Text(CellValue(book, QStringLiteral("B14"))), QStringLiteral("Nr."));
}

TEST_F(WorkbookOfTable, DifferentUnitsNeverGiveAChart)
{
    Add(1, "10.0", "FE");
    Add(2, "1.0", "FE", " mm    ");
    ASSERT_TRUE(data.statistics.UnitsDiffer);
    const SpreadsheetInput in = SpreadsheetFromData(data, QString(), kGerman, QStringLiteral("3"), std::nullopt, true);
    EXPECT_FALSE(in.withChart);
    QTemporaryDir dir;
    const QJsonObject book = WriteAndRead(in, dir);
    EXPECT_EQ(SheetNames(book), kWithoutChart);
    EXPECT_EQ(Text(CellValue(book, QStringLiteral("A2"))), QStringLiteral(" Statistik nicht m\u00F6glich,"));
    EXPECT_EQ(Text(CellValue(book, QStringLiteral("C8"))), QStringLiteral("10"));
    EXPECT_EQ(Text(CellValue(book, QStringLiteral("D9"))), QStringLiteral("mm"));
}

TEST_F(WorkbookOfTable, TriggerOnlyForTheMemoryTable)
{
    Add(1, "10.0", "FE");
    const PulseSeries pulses{QStringLiteral("t1"), QStringLiteral("x"), 1, {2.5, 3.5}, QStringLiteral("V"), 100};
    SpreadsheetInput in = SpreadsheetFromData(data, QString(), kGerman, QStringLiteral("t1"), pulses, true);
    ASSERT_TRUE(in.trigger);
    EXPECT_EQ(in.blocks[0].count, 2);
    EXPECT_EQ(in.blocks[0].maximum, 3.5);
    data.state.TableMode = kOnlineSlot;
    in = SpreadsheetFromData(data, QString(), kGerman, QStringLiteral("t1"), pulses, true);
    EXPECT_FALSE(in.trigger);
}

} // namespace
} // namespace qc
