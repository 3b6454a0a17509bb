#include <gtest/gtest.h>

#include "data/record_text.h"

namespace qc {
namespace {

const QLocale kPoint(QLocale::English, QLocale::UnitedStates);
const QLocale kComma(QLocale::German, QLocale::Germany);
const QDateTime kNow(QDate(2024, 12, 5), QTime(10, 15, 30));

// Builds a record text from its columns: number 1-4, value 7-16, unit
// 18-21, material 23-25, date-time 27-45.
QString Record(const char* number, const char* value, const char* unit, const char* material = "",
               const char* dateTime = "")
{
    QString r = QString::fromUtf8(number).rightJustified(4, u' ') + QStringLiteral("  ");
    r += QString::fromUtf8(value).rightJustified(10, u' ') + u' ';
    r += QString::fromUtf8(unit).leftJustified(4, u' ') + u' ';
    r += QString::fromUtf8(material).leftJustified(3, u' ') + u' ';
    r += QString::fromUtf8(dateTime);
    return r;
}

GaugeContext Gauge(const char* cls, const char* probe = "0", const char* flag6 = "0")
{
    GaugeContext g;
    g.profile.ProfileClass = QString::fromLatin1(cls);
    g.profile.ProfileProbe = QString::fromLatin1(probe);
    g.profile.ProfileFlag6 = QString::fromLatin1(flag6);
    g.profile.ProfileKeys = QStringLiteral("E");
    g.profile.ProfileFlag7 = QStringLiteral("2");
    return g;
}

struct Fixture {
    MeasurementTable table;
    TableState state;
    Fixture()
    {
        table.ClearSlot(kMemorySlot);
        table.ClearSlot(kOnlineSlot);
        state.RowCounter = 1;
        state.OnlineCounter = 1;
    }
};

struct DecodeCase {
    const char* name;
    QString record;
    GaugeContext gauge;
    qint16 number;
    double value;
    const char* unit;
    const char* material;
};

TEST(FillMessdaten, DecodesTheColumnsOfOneRecord)
{
    GaugeContext class5 = Gauge("5", "2");
    class5.identity.GaugeProbeType = QStringLiteral("1");
    class5.identity.GaugeUnit = QStringLiteral("mils");
    GaugeContext zp = Gauge("4");
    zp.identity.ModelCode = QStringLiteral("ZP");
    const DecodeCase cases[] = {
        {"class 4 micrometre", Record("0001", "12.34", "\u00B5m"), Gauge("4"), 1, 12.3, "\u00B5m", ""},
        {"ym spelling", Record("2", "150.6", "ym"), Gauge("4"), 2, 151, "\u00B5m", ""},
        {"mu spelling", Record("3", "7.25", "mu"), Gauge("4"), 3, 7.2, "\u00B5m", ""},
        {"NFE becomes NF", Record("4", "55.56", "\u00B5m", "NFE"), Gauge("4", "2"), 4, 55.6, "\u00B5m", "NF"},
        {"DFE stays", Record("5", "20", "\u00B5m", "DFE"), Gauge("4", "2"), 5, 20, "\u00B5m", "DFE"},
        {"material ignored without probe 2", Record("6", "20", "\u00B5m", "FE"), Gauge("4"), 6, 20, "\u00B5m", ""},
        {"class 5 base unit converted", Record("7", "254", "xx", "FE"), class5, 7, 10, "mils", "FE"},
        {"field strength", Record("8", "123.45", "A/cm"), Gauge("4"), 8, 123, "A/cm", ""},
        {"ZP model", Record("9", "1.0234", "\u00B5r"), zp, 9, 1.023, "\u00B5r", "ZP"},
        {"damaged number", Record("x1", "3.5", "\u00B5m"), Gauge("4"), 0, 3.5, "\u00B5m", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        const FillOutcome out = FillMessdaten(c.record, c.gauge, f.table, f.state, kNow, kPoint);
        ASSERT_EQ(out.status, FillStatus::Added);
        EXPECT_EQ(out.row, 1);
        const Reading& r = f.table.Row(kMemorySlot, 1);
        EXPECT_EQ(r.Number, c.number);
        EXPECT_DOUBLE_EQ(r.Value, c.value);
        EXPECT_EQ(r.Unit, QString::fromUtf8(c.unit));
        EXPECT_EQ(r.Material, QString::fromUtf8(c.material));
        EXPECT_EQ(r.TimeText, QStringLiteral("10:15:30"));
        EXPECT_EQ(r.DateText, QStringLiteral("05.12.2024"));
        EXPECT_EQ(f.state.RowCounter, 2);
    }
}

TEST(FillMessdaten, RecordWithNumberZeroAndValueZeroAddsNothing)
{
    Fixture f;
    const FillOutcome out = FillMessdaten(Record("0", "0.0", "\u00B5m"), Gauge("4"), f.table, f.state, kNow, kPoint);
    EXPECT_EQ(out.status, FillStatus::Dropped);
    EXPECT_EQ(f.state.RowCounter, 1);
    EXPECT_EQ(f.table.ReadingCount(kMemorySlot), 0);
    // Text without any number reads as 0 as well.
    EXPECT_EQ(FillMessdaten(QStringLiteral("garbage"), Gauge("4"), f.table, f.state, kNow, kPoint).status,
              FillStatus::Dropped);
    EXPECT_EQ(FillMessdaten(QString(), Gauge("4"), f.table, f.state, kNow, kPoint).status, FillStatus::Dropped);
}

TEST(FillMessdaten, CrLfInsideTheRecordCountsAsTwoBlanks)
{
    Fixture f;
    // "   1\r\n" keeps the value column where it is.
    FillMessdaten(QStringLiteral("   1\r\n      8.25 \u00B5m"), Gauge("4"), f.table, f.state, kNow, kPoint);
    EXPECT_EQ(f.table.Row(kMemorySlot, 1).Number, 1);
    EXPECT_DOUBLE_EQ(f.table.Row(kMemorySlot, 1).Value, 8.2);
}

TEST(FillMessdaten, DateModeTakesTheRecordsDateInTheLocalesForm)
{
    const GaugeContext g = Gauge("4", "2", "-");
    struct Case {
        QLocale locale;
        const char* date;
        const char* time;
    };
    for (const auto& [locale, date, time] : {Case{kComma, "07.03.2024", "08:09:10"}, Case{kPoint, "3/7/2024", "8:09:10 AM"}}) {
        Fixture f;
        FillMessdaten(Record("1", "20", "\u00B5m", "FE", "2024-03-07 08:09:10"), g, f.table, f.state, kNow, locale);
        const Reading& r = f.table.Row(kMemorySlot, 1);
        EXPECT_EQ(r.DateTime, QDateTime(QDate(2024, 3, 7), QTime(8, 9, 10)));
        EXPECT_EQ(r.DateText, QString::fromLatin1(date));
        EXPECT_EQ(r.TimeText, QString::fromLatin1(time)); // no time zone
    }
    Fixture f;
    FillMessdaten(Record("1", "20", "\u00B5m", "FE", "2024-13-07 08:09:10"), g, f.table, f.state, kNow, kComma);
    EXPECT_FALSE(f.table.Row(kMemorySlot, 1).DateTime.isValid());
    EXPECT_DOUBLE_EQ(f.table.Row(kMemorySlot, 1).Value, 20); // the reading itself is kept
}

TEST(FillMessdaten, ExistingTimeAndDateTextsStay)
{
    Fixture f;
    f.table.Row(kMemorySlot, 1).TimeText = QStringLiteral("09:00:00");
    FillMessdaten(Record("1", "20", "\u00B5m"), Gauge("4"), f.table, f.state, kNow, kPoint);
    EXPECT_EQ(f.table.Row(kMemorySlot, 1).TimeText, QStringLiteral("09:00:00"));
    EXPECT_EQ(f.table.Row(kMemorySlot, 1).DateText, QStringLiteral("05.12.2024"));
    EXPECT_EQ(f.state.TransferTime, QStringLiteral("10:15:30"));
}

TEST(FillMessdaten, OnlineReadingsAreNumberedByTheOnlineCounter)
{
    Fixture f;
    f.state.TableMode = kOnlineSlot;
    for (int i = 1; i <= 3; ++i) {
        const FillOutcome out = FillMessdaten(Record("77", "10", "\u00B5m"), Gauge("4"), f.table, f.state, kNow, kPoint);
        EXPECT_EQ(out.row, i);
        EXPECT_EQ(f.table.Row(kOnlineSlot, i).Number, i);
    }
    EXPECT_EQ(f.state.OnlineCounter, 4);
    EXPECT_EQ(f.table.ReadingCount(kMemorySlot), 0);

    // Gauges that do not count live readings keep writing the same row.
    GaugeContext g = Gauge("4");
    g.profile.ProfileKeys = QStringLiteral("V");
    FillMessdaten(Record("1", "11", "\u00B5m"), g, f.table, f.state, kNow, kPoint);
    EXPECT_EQ(f.state.OnlineCounter, 4);
}

TEST(FillMessdaten, CountersNotYetStartedBeginAtRowOne)
{
    MeasurementTable table;
    table.ClearSlot(kOnlineSlot);
    TableState state; // both counters 0
    state.TableMode = kOnlineSlot;
    const FillOutcome out = FillMessdaten(Record("5", "10", "\u00B5m"), Gauge("4"), table, state, kNow, kPoint);
    EXPECT_EQ(out.status, FillStatus::Added);
    EXPECT_EQ(out.row, 1);
    EXPECT_EQ(table.Row(kOnlineSlot, 1).Number, 1);
    EXPECT_EQ(state.OnlineCounter, 2);
}

TEST(FillMessdaten, NothingIsStoredAboveRow5000)
{
    Fixture f;
    for (int i = 1; i <= kMaxRows; ++i)
        ASSERT_EQ(FillMessdaten(Record("1", "10", "\u00B5m"), Gauge("4"), f.table, f.state, kNow, kPoint).status,
                  FillStatus::Added);
    const FillOutcome out = FillMessdaten(Record("2", "20", "\u00B5m"), Gauge("4"), f.table, f.state, kNow, kPoint);
    EXPECT_EQ(out.status, FillStatus::TableFull);
    EXPECT_EQ(out.row, kMaxRows + 1);
    EXPECT_EQ(f.state.RowCounter, kMaxRows + 1);
    EXPECT_EQ(f.table.ReadingCount(kMemorySlot), kMaxRows);
    EXPECT_THROW(f.table.Row(kMemorySlot, kMaxRows + 1), std::out_of_range);

    f.state.TableMode = kOnlineSlot;
    f.state.OnlineCounter = kMaxRows + 1;
    EXPECT_EQ(FillMessdaten(Record("2", "20", "\u00B5m"), Gauge("4"), f.table, f.state, kNow, kPoint).status,
              FillStatus::TableFull);
    EXPECT_EQ(f.state.OnlineCounter, kMaxRows + 1);
}

TEST(MeasurementTable, ClearSlotBlanksTheTextsAndKeepsTheOtherSlot)
{
    MeasurementTable t;
    t.Row(kMemorySlot, 1) = {5, 1.5, QStringLiteral("\u00B5m"), QStringLiteral("FE"), QDateTime(QDate(2024, 1, 2), QTime(3, 4)),
                             QStringLiteral("02.01.2024"), QStringLiteral("03:04:00")};
    t.Row(kOnlineSlot, 1).Number = 1;
    t.ClearSlot(kMemorySlot);
    const Reading& r = t.Row(kMemorySlot, 1);
    EXPECT_TRUE(r.IsEmpty());
    EXPECT_EQ(r.DateText, QStringLiteral(" "));
    EXPECT_EQ(r.TimeText, QStringLiteral(" "));
    EXPECT_EQ(r.Unit, QStringLiteral(" "));
    EXPECT_EQ(r.Material, QString());
    EXPECT_TRUE(r.DateTime.isValid());
    EXPECT_EQ(t.ReadingCount(kOnlineSlot), 1);
}

} // namespace
} // namespace qc
