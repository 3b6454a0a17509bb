// Class 5 memory files made by the simulated gauges' own writer, decoded
// by the program: every record kind, probe code, date, unit and the damaged
// and hostile files.
#include <QLocale>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "gauge/class5_file.h"
#include "gauge/memory_download.h"
#include "gauge/memory_listing.h"
#include "gauge_records.h"

namespace qc {
namespace {

namespace sim = quen::gaugesim;

QByteArray Bytes(const std::string& s) { return QByteArray(s.data(), qsizetype(s.size())); }

GaugeContext Gauge(const char* unit = "\u00B5m", const char* probeType = "1")
{
    GaugeContext g;
    g.profile = DeviceProfile{"5", "L", "E", "2", "+", "-", "2"};
    g.identity.GaugeUnit = QString::fromUtf8(unit);
    g.identity.GaugeProbeType = QString::fromLatin1(probeType);
    g.identity.ModelCode = QStringLiteral("QV");
    return g;
}

sim::FileHeader Header(std::uint16_t count)
{
    sim::FileHeader h;
    h.comment = "Bridge 4";
    h.time = {2024, 12, 5, 10, 15, 30};
    h.valueCount = count;
    for (int i = 0; i < 7; ++i)
        h.floats[i] = 10.0f * float(i + 1) + 0.25f;
    return h;
}

std::string Full(std::uint8_t code, float value, std::uint32_t number, bool invalid = false)
{
    sim::FullRecord r;
    r.invalid = invalid;
    r.probeCode = code;
    r.time = {2024, 12, 5, 10, 15, 30};
    r.value = value;
    r.number = number;
    return sim::FullRecordBytes(r);
}

TEST(MemoryFile, HeaderAndDate)
{
    const DecodedFile f = DecodeMemoryFile(Bytes(sim::FileHeaderBytes(Header(3))), "m0001", Gauge(), QLocale::c());
    ASSERT_TRUE(f.HeaderComplete);
    EXPECT_TRUE(f.Empty);
    EXPECT_EQ(f.Header.Comment, QStringLiteral("Bridge 4"));
    EXPECT_EQ(f.Header.Taken, QDateTime(QDate(2024, 12, 5), QTime(10, 15, 30)));
    EXPECT_EQ(f.Header.ValueCount, 3);
    EXPECT_FLOAT_EQ(f.Header.Floats[6], 70.25f);
    const char sixBytes[] = {0x1E, 0x0F, 0x0A, 0x05, 0x0C, 0x18};
    EXPECT_EQ(GaugeDateTime(sixBytes), QDateTime(QDate(2024, 12, 5), QTime(10, 15, 30)));
    const char impossible[] = {0x3D, 0x00, 0x00, 0x1F, 0x02, 0x18};
    EXPECT_FALSE(GaugeDateTime(impossible).isValid());
}

// Every probe code: 0..9 name the probe, 10..15 keep the text before;
// flag bit 7 skips the record; bits 6..4 are not looked at.
TEST(MemoryFile, ProbeCodesAndInvalidRecords)
{
    std::string bytes = sim::FileHeaderBytes(Header(20));
    const char* texts[] = {"FE", "NF", "DFE", "DNF", "DC", "AC", "PDC", "PAC", "ZP", "PZP"};
    std::vector<std::string> expected;
    std::uint32_t number = 1;
    for (std::uint8_t code = 0; code < 16; ++code) {
        bytes += Full(code, 10.0f + code, number++);
        expected.push_back(code < 10 ? texts[code] : texts[9]);
    }
    bytes += Full(3, 99.0f, number++, true); // not valid
    std::string flagged = Full(0x70 | 2, 50.0f, number++);
    bytes += flagged;
    expected.push_back("DFE");
    const DecodedFile f = DecodeMemoryFile(Bytes(bytes), "m0002", Gauge(), QLocale::c());
    ASSERT_EQ(f.Rows.size(), expected.size());
    EXPECT_EQ(f.InvalidSkipped, 1);
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(f.Rows[i].Material, QLatin1String(expected[i].c_str())) << i;
    EXPECT_EQ(f.Rows[3].Number, 4);
    EXPECT_DOUBLE_EQ(f.Rows[3].Value, 13.0);
    EXPECT_EQ(f.Rows[0].DateTime, QDateTime(QDate(2024, 12, 5), QTime(10, 15, 30)));
    EXPECT_EQ(f.Rows.back().Number, 18);
}

// Values come in the gauge's base unit and are shown in the gauge unit,
// rounded to its decimals.
TEST(MemoryFile, UnitsConversionAndRounding)
{
    struct Case {
        const char* unit;
        const char* probeType;
        float raw;
        double shown;
    };
    const Case cases[] = {
        {"\u00B5m", "1", 120.0f, 120.0}, {"\u00B5m", "1", 12.5f, 12.5}, {"mils", "1", 254.0f, 10.0},
        {"mils", "1", 25.4f, 1.0},       {"kA/m", "2", 10.0f, 1.0},
    };
    for (const Case& c : cases) {
        const std::string bytes = sim::FileHeaderBytes(Header(1)) + Full(0, c.raw, 1);
        const DecodedFile f = DecodeMemoryFile(Bytes(bytes), "m1", Gauge(c.unit, c.probeType), QLocale::c());
        ASSERT_EQ(f.Rows.size(), 1u) << c.unit;
        EXPECT_NEAR(f.Rows[0].Value, c.shown, 1e-9) << c.unit << " " << c.raw;
        EXPECT_EQ(f.Rows[0].Unit, QString::fromUtf8(c.unit));
    }
}

// A file with fewer than 32 hex digits (16 bytes) after the header but a
// complete 4-byte record is not empty: its readings are kept.
TEST(MemoryFile, ShortSeriesAndTraceFilesKeepTheirRecords)
{
    for (const char* name : {"s0003", "t0004"}) {
        const std::string bytes = sim::FileHeaderBytes(Header(2)) + sim::FloatBytes(11.5f) + sim::FloatBytes(12.5f) +
                                  std::string("\x01\x02", 2); // a record cut short
        const DecodedFile f = DecodeMemoryFile(Bytes(bytes), name, Gauge(), QLocale::c());
        EXPECT_FALSE(f.Empty) << name;
        EXPECT_EQ(f.PartialBytes, 2) << name;
        if (name[0] == 's') {
            ASSERT_EQ(f.Rows.size(), 2u);
            EXPECT_EQ(f.Rows[1].Number, 2);
            EXPECT_DOUBLE_EQ(f.Rows[1].Value, 12.5);
            EXPECT_EQ(f.Rows[1].DateTime, QDateTime(QDate(2024, 12, 5), QTime(10, 15, 30)));
        } else {
            EXPECT_EQ(f.Trace, (std::vector<double>{11.5, 12.5}));
            EXPECT_TRUE(f.Rows.empty());
        }
    }
    const DecodedFile onlyPart =
        DecodeMemoryFile(Bytes(sim::FileHeaderBytes(Header(0)) + "\x01\x02\x03"), "s1", Gauge(), QLocale::c());
    EXPECT_TRUE(onlyPart.Empty);
}

TEST(MemoryFile, NonFiniteAndHugeValuesAreRefused)
{
    const float values[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(), 3.0e38f, 42.0f};
    for (const char* name : {"m1", "s1", "t1"}) {
        std::string bytes = sim::FileHeaderBytes(Header(5));
        std::uint32_t n = 1;
        for (float v : values)
            bytes += name[0] == 'm' ? Full(0, v, n++) : sim::FloatBytes(v);
        const DecodedFile f = DecodeMemoryFile(Bytes(bytes), name, Gauge(), QLocale::c());
        EXPECT_EQ(f.Refused, 4) << name;
        EXPECT_EQ(f.Rows.size() + f.Trace.size(), 1u) << name;
    }
}

// 5000 readings fill the table; more are counted, not stored.
TEST(MemoryFile, AtMostTheTableRows)
{
    std::string bytes = sim::FileHeaderBytes(Header(5002));
    for (std::uint32_t i = 1; i <= 5002; ++i)
        bytes += Full(0, float(i % 300), i);
    const DecodedFile f = DecodeMemoryFile(Bytes(bytes), "m9", Gauge(), QLocale::c());
    EXPECT_EQ(f.Rows.size(), std::size_t(kMaxRows));
    EXPECT_EQ(f.BeyondTable, 2);
    EXPECT_EQ(f.Rows.back().Number, 5000);
}

// Random bytes, random lengths and every name kind: nothing crashes, every
// row is finite and no more than the table holds.
TEST(MemoryFile, RandomBytesSweep)
{
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        QByteArray bytes(qsizetype(random() % 600), Qt::Uninitialized);
        for (char& b : bytes)
            b = char(random());
        for (const char* name : {"m", "s", "t", "x", "", "sm"}) {
            const DecodedFile f = DecodeMemoryFile(bytes, QLatin1String(name), Gauge(), QLocale::c());
            for (const Reading& r : f.Rows)
                EXPECT_TRUE(std::isfinite(r.Value));
            for (double v : f.Trace)
                EXPECT_TRUE(std::isfinite(v));
        }
    }
}

TEST(MemoryFile, HexText)
{
    EXPECT_EQ(HexBytes(QStringLiteral("0A0b")), QByteArray("\x0A\x0B", 2));
    EXPECT_FALSE(HexBytes(QStringLiteral("0A0")));
    EXPECT_FALSE(HexBytes(QStringLiteral("0G")));
    EXPECT_EQ(HexBytes(QString()), QByteArray());
}

TEST(MemoryFile, TraceStatisticsInTheDisplayUnit)
{
    sim::FileHeader h = Header(400);
    const std::string bytes = sim::FileHeaderBytes(h);
    const DecodedFile f = DecodeMemoryFile(Bytes(bytes), "t0004", Gauge(), QLocale::c());
    const QStringList de = TraceStatisticsLines(f.Header, "t0004 t0004", Gauge("mils"), 0, QLocale(QLocale::German));
    ASSERT_EQ(de.size(), 7);
    EXPECT_EQ(de[1], QStringLiteral("Anzahl        ") + QStringLiteral("400").rightJustified(10));
    EXPECT_EQ(de[2], QStringLiteral("Minimum       ") + QStringLiteral("0,40").rightJustified(10)); // 10.25 µm
    EXPECT_EQ(de[4], QStringLiteral("Mittelwert    ") + QStringLiteral("1,58").rightJustified(10)); // 40.25 µm
    EXPECT_EQ(de[6], QStringLiteral("Impulszeit    ") + QStringLiteral("70,25").rightJustified(10) + " ms");
    const QStringList en = TraceStatisticsLines(f.Header, "c", Gauge(), 1, QLocale::c());
    EXPECT_EQ(en[5], QStringLiteral("Std.Dev       ") + QStringLiteral("50.25").rightJustified(10));
}

// ---- Listing -------------------------------------------------------------

TEST(MemoryListingText, FileListing)
{
    struct Case {
        const char* reply;
        QStringList names;
    };
    const auto pad = [](const char* n) { return QString::fromLatin1(n).leftJustified(20); };
    const Case cases[] = {
        {"$ls?0005 files m1 s2 t3 se4 x5!", {pad("m1"), pad("s2"), pad("t3")}},
        {"$ls?0000 files!", {}},
        {"$ls?01!", {}},
        {"short", {}},
        {"$ls?0003 files m../../x m!1 t?2 m\u00E46 s7 .m8 m_9-a.b!", {pad("s7"), pad("m_9-a.b")}},
        {"$ls?0002 files   m1    m2  !", {pad("m1"), pad("m2")}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseFileListing(QString::fromUtf8(c.reply)), c.names) << c.reply;
}

TEST(MemoryListingText, DirectoryAndSelector)
{
    EXPECT_EQ(ParseDirectory(QStringLiteral(" 3 \n1,250\n 2 , 0\n3,5000")),
              (std::vector<DirectoryEntry>{{"1", 250}, {"2", 0}, {"3", 5000}}));
    EXPECT_EQ(ParseDirectory(QStringLiteral("5\n1,2")), (std::vector<DirectoryEntry>{{"1", 2}})); // count says more
    EXPECT_TRUE(ParseDirectory(QStringLiteral("x\n1,2")).empty());
    EXPECT_TRUE(ParseDirectory(QString()).empty());
    EXPECT_EQ(ParseDirectory(QStringLiteral("1\n1,99999999999")), (std::vector<DirectoryEntry>{{"1", 0}}));
    EXPECT_EQ(SelectorEntry(1, "1", 250), QStringLiteral("M    1 (250)"));
    EXPECT_EQ(SelectorEntry(0, "12", 5000), QStringLiteral("S   12(5000)"));
    SelectorChoice choice;
    ASSERT_TRUE(ParseSelectorEntry(QStringLiteral("M    1 (250)"), choice));
    EXPECT_EQ(choice.Name, "1");
    EXPECT_EQ(choice.Count, 250);
    EXPECT_FALSE(ParseSelectorEntry(QStringLiteral("memory empty"), choice));
    EXPECT_FALSE(ParseSelectorEntry(QStringLiteral("Speicher leer"), choice));
    EXPECT_FALSE(ParseSelectorEntry(QStringLiteral("M1(2)"), choice));
}

// Every entry the selector offers reads back as its memory: also where a
// five-digit name and a four- or five-digit count leave no blank between
// the columns ("M10000(1234)", found by fuzzing).
TEST(MemoryListingText, SelectorEntriesReadBack)
{
    const struct {
        const char* name;
        int count;
    } rows[] = {{"1", 0},         {"1", 32767}, {"99999", 9999}, {"10000", 1234},
                {"32767", 32767}, {"12345", 5}, {"123", 12345},  {"7", 250}};
    for (int language : {0, 1})
        for (const auto& row : rows) {
            const QString entry = SelectorEntry(language, QLatin1String(row.name), row.count);
            SelectorChoice choice;
            ASSERT_TRUE(ParseSelectorEntry(entry, choice)) << entry.toStdString();
            EXPECT_EQ(choice.Name, QLatin1String(row.name)) << entry.toStdString();
            EXPECT_EQ(choice.Count, row.count) << entry.toStdString();
        }
}

// ---- Live readings ---------------------------------------------------------

// Two records of any lengths, odd or even in sum: the split at the line
// feed gives both exactly.
TEST(LiveReadings, DualProbeSplitAtTheLineFeed)
{
    for (int firstExtra = 0; firstExtra < 6; ++firstExtra)
        for (int secondExtra = 0; secondExtra < 6; ++secondExtra)
            for (const char* end : {"\r\n", "\n", ""}) {
                const QString first =
                    QStringLiteral("   7        12.3 ym   DFE 2024-12-05 10:15:30") + QString(firstExtra, u'x');
                const QString second =
                    QStringLiteral("   7         4.9 ym   DNF 2024-12-05 10:15:30") + QString(secondExtra, u'y');
                const QString value = first + "\r\n" + second + QLatin1String(end);
                const QStringList records = LiveRecords(value);
                ASSERT_EQ(records.size(), 2) << firstExtra << " " << secondExtra;
                EXPECT_EQ(records[0], first + "\r\n");
                EXPECT_EQ(records[1], second + " ");
            }
    EXPECT_EQ(LiveRecords("   1        12.3 ym   FE "), QStringList{"   1        12.3 ym   FE "});
    EXPECT_EQ(LiveRecords("   1         4.9 ym   DNF"), QStringList{"   1         4.9 ym   DNF"});
    EXPECT_EQ(LiveRecords("   1         4.9 ym   DNF\r\n"), QStringList{"   1         4.9 ym   DNF\r\n"});
}

GaugeContext PellaxGauge()
{
    GaugeContext g;
    g.profile = DeviceProfile{"4", "L", "E", "2", "+", "-", "2"};
    g.identity.ModelCode = QStringLiteral("PLB");
    g.identity.GaugeProbeType = QStringLiteral("3");
    return g;
}

// The online table takes 5000 readings; beyond, nothing is added and the
// limit message comes with each refused reading.
TEST(LiveReadings, FiveThousandRowLimit)
{
    struct Case {
        int before;
        const char* value;
        int added;
        bool told;
    };
    const char* single = "   1        12.3 ym   FE  2024-12-05 10:15:30\r\n";
    const char* dual =
        "   1        12.3 ym   DFE 2024-12-05 10:15:30\r\n   1         4.9 ym   DNF 2024-12-05 10:15:30\r\n";
    const Case cases[] = {{0, single, 1, false}, {0, dual, 2, false},     {4999, single, 1, false},
                          {4999, dual, 1, true}, {5000, single, 0, true}, {5000, dual, 0, true}};
    for (const Case& c : cases) {
        MeasurementData data;
        data.gauge = PellaxGauge();
        data.locale = QLocale::c();
        const QDateTime now(QDate(2026, 12, 6), QTime(12, 0));
        data.SetTableMode(kOnlineSlot, now);
        data.state.OnlineCounter = 1;
        for (int i = 0; i < c.before; ++i)
            data.FillMessdaten(QString::fromLatin1(single), now);
        ASSERT_EQ(data.table.ReadingCount(kOnlineSlot), c.before);
        const LiveResult r = TakeLiveReading(QString::fromLatin1(c.value), data, now, 0);
        EXPECT_EQ(r.rowsAdded, c.added) << c.before << " " << c.value;
        EXPECT_EQ(r.tableFullMessage.isEmpty(), !c.told) << c.before;
        if (c.told) {
            EXPECT_EQ(r.tableFullMessage, QStringLiteral("Maximale Werteanzahl \u00FCberschritten 5000"));
        }
        EXPECT_EQ(data.table.ReadingCount(kOnlineSlot), std::min(c.before + c.added, kMaxRows));
    }
}

// The memory text box: one blank (class 4) or six (class 5), the reading in
// the gauge unit and the unit.
TEST(LiveReadings, MemoryTextBox)
{
    GaugeContext g4 = PellaxGauge();
    const QString shown4 = LiveReadingText("   1        12.3 ym   FE ", g4, QLocale::c());
    EXPECT_EQ(shown4.size(), 1 + 11 + 3) << shown4.toStdString();
    EXPECT_TRUE(shown4.endsWith(" \u00B5m"));
    EXPECT_NEAR(shown4.mid(1, 11).trimmed().toDouble(), 12.3, 0.051);
    GaugeContext g5;
    g5.profile = DeviceProfile{"5", "L", "E", "2", "+", "-", "2"};
    g5.identity.GaugeProbeType = "1";
    g5.identity.GaugeUnit = "mils";
    const QString text = LiveReadingText("   1       254.0 ym   FE ", g5, QLocale::c());
    EXPECT_TRUE(text.startsWith("      ")) << text.toStdString();
    EXPECT_TRUE(text.endsWith(" mils"));
    EXPECT_NEAR(text.mid(6, 11).trimmed().toDouble(), 10.0, 1e-9);
    for (const char* bad : {"", "x", "   1         nan ym   FE ", "   1  1e999999999 ym   FE "})
        EXPECT_FALSE(LiveReadingText(QLatin1String(bad), g4, QLocale::c()).isEmpty()) << bad;
}

} // namespace
} // namespace qc
