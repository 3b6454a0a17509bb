#include "gauge_records.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace quen::gaugesim {
namespace {

TEST(RecordText, FixedColumns)
{
    struct Case {
        RecordReading reading;
        const char* text;
    };
    const GaugeTime t{2024, 12, 5, 10, 15, 30};
    const Case cases[] = {
        {{7, 12.34, 1, "ym", "FE", t}, "   7        12.3 ym   FE  2024-12-05 10:15:30"},
        {{5000, 1.5, 2, "A/cm", "NFE", t}, "5000        1.50 A/cm NFE 2024-12-05 10:15:30"},
        {{12345, 1.0016, 3, "ur", "ZP", t}, "2345       1.002 ur   ZP  2024-12-05 10:15:30"},  // four digits
        {{1, 0.0, 0, "FN", "FE", {2000, 1, 1, 0, 0, 0}}, "   1           0 FN   FE  2000-01-01 00:00:00"},
        {{1, 123456789012.0, 0, "mils", "DNF", t}, "   1  1234567890 mils DNF 2024-12-05 10:15:30"},  // cut to 10
    };
    for (const Case& c : cases) {
        const std::string text = RecordText(c.reading);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(text.size(), kRecordLength);
    }
}

TEST(RecordText, ProgramColumnsReadBack)
{
    // Columns 7-16 value, 18-21 unit, 23-25 material, 27-45 date and time.
    const std::string text = RecordText({42, 250.75, 2, "ym", "NFE", {2025, 3, 9, 23, 59, 58}});
    EXPECT_EQ(std::stod(text.substr(6, 10)), 250.75);
    EXPECT_EQ(text.substr(17, 4), "ym  ");
    EXPECT_EQ(text.substr(22, 3), "NFE");
    EXPECT_EQ(text.substr(26, 19), "2025-03-09 23:59:58");
}

TEST(LiveValue, DualProbeSecondRecordIsTheSecondHalf)
{
    const GaugeTime t{2024, 12, 5, 10, 15, 30};
    const std::string value = LiveValue({{3, 80.0, 1, "ym", "DFE", t}, {3, 32.0, 1, "ym", "DNF", t}});
    // The program: the first line up to and including LF, then the last
    // len/2 characters (halves to even).
    const std::size_t lf = value.find('\n');
    const double half = static_cast<double>(value.size()) / 2.0;
    const std::size_t take = static_cast<std::size_t>(std::nearbyint(half));
    EXPECT_EQ(value.substr(0, lf + 1), RecordText({3, 80.0, 1, "ym", "DFE", t}) + "\r\n");
    EXPECT_EQ(value.substr(value.size() - take), RecordText({3, 32.0, 1, "ym", "DNF", t}) + "\r\n");
    EXPECT_NE(value.find("DNF"), std::string::npos);
}

TEST(ClockText, ParsesOnlyRealTimes)
{
    struct Case {
        const char* text;
        bool ok;
    };
    const Case cases[] = {
        {"2024-12-05/10:15:30", true},  {"2024-02-29/00:00:00", true},  {"2023-02-29/00:00:00", false},
        {"2024-12-31/23:59:59", true},  {"2024-12-05/24:00:00", false}, {"2024-13-05/10:15:30", false},
        {"2024-00-05/10:15:30", false}, {"2024-12-05 10:15:30", false}, {"2024-12-5/10:15:30", false},
        {"2024-12-05/10:15:3x", false}, {"", false},                    {"1999-12-31/23:59:59", false},
        {"2024-12-05/10:15:30!", false}, {"2024-04-31/10:15:30", false},
    };
    for (const Case& c : cases) {
        GaugeTime time;
        EXPECT_EQ(ParseClockText(c.text, time), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(ClockText(time), c.text);
        }
    }
}

TEST(AddSeconds, AgreesWithTheCalendarAcrossYears)
{
    const GaugeTime start{2023, 12, 31, 23, 59, 0};
    // A sweep over four years in steps of a little over a day.
    for (long long s = -400LL * 86400; s < 4LL * 366 * 86400; s += 86400 + 3607) {
        const GaugeTime t = AddSeconds(start, s);
        std::tm utc{};
        const std::time_t base = 1704067140;  // 2023-12-31 23:59:00 UTC
        const std::time_t when = static_cast<std::time_t>(base + s);
        gmtime_r(&when, &utc);
        ASSERT_EQ(t, (GaugeTime{utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec}))
            << s;
    }
}

TEST(FileLayout, HeaderFieldsAtTheirOffsets)
{
    FileHeader header;
    header.firstNumber = 9;
    header.twoDigits = "42";
    header.comment = std::string(200, 'c');  // cut to 114
    header.time = {2024, 12, 5, 10, 15, 30};
    header.valueCount = 0x1234;
    header.secondCount = 0xBEEF;
    header.floats[0] = 1.0f;
    header.floats[6] = -2.0f;
    const std::string bytes = FileHeaderBytes(header);
    ASSERT_EQ(bytes.size(), 160u);
    EXPECT_EQ(bytes.substr(0, 4), std::string(4, '\0'));
    EXPECT_EQ(bytes[4], 9);
    EXPECT_EQ(bytes[5], 0);
    EXPECT_EQ(bytes.substr(6, 2), "42");
    EXPECT_EQ(bytes.substr(8, 114), std::string(114, 'c'));
    EXPECT_EQ(HexText(bytes.substr(122, 6)), "1E0F0A050C18");
    EXPECT_EQ(HexText(bytes.substr(128, 4)), "3412EFBE");
    EXPECT_EQ(HexText(bytes.substr(132, 4)), "0000803F");
    EXPECT_EQ(HexText(bytes.substr(156, 4)), "000000C0");
}

TEST(FileLayout, FullRecordFlagsProbeTimeValueAndNumber)
{
    FullRecord record;
    record.invalid = true;
    record.probeCode = 0x13;  // only the low four bits count
    record.time = {2024, 12, 5, 10, 15, 30};
    record.value = 50.0f;
    record.number = 0x01020304;
    EXPECT_EQ(HexText(FullRecordBytes(record)), "00831E0F0A050C180000484204030201");
    record.invalid = false;
    record.probeCode = 9;
    EXPECT_EQ(HexText(FullRecordBytes(record)).substr(0, 4), "0009");
}

TEST(HexText, EveryByteValue)
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    const std::string hex = HexText(bytes);
    ASSERT_EQ(hex.size(), 512u);
    for (int b = 0; b < 256; ++b) {
        char expected[3];
        std::snprintf(expected, sizeof expected, "%02X", b);
        EXPECT_EQ(hex.substr(2 * static_cast<std::size_t>(b), 2), expected);
    }
}

}  // namespace
}  // namespace quen::gaugesim
