// The gauge's data formats: fixed-column reading records (live readings and
// class 4 memories) and the binary class 5 memory files.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace quen::gaugesim {

// A calendar time as the gauge keeps it (no time zone).
struct GaugeTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    bool operator==(const GaugeTime&) const = default;
};

// Local time of a host time, and back; the gauge clock is the host's local
// clock plus an offset. FromGaugeTime fails (false) on an impossible date.
GaugeTime ToGaugeTime(std::time_t when);
bool FromGaugeTime(const GaugeTime& time, std::time_t& when);
// "2024-12-05/10:15:30", the clock text of "$glt" and "$slt".
std::string ClockText(const GaugeTime& time);
bool ParseClockText(const std::string& text, GaugeTime& time);
// A time a number of seconds later (for made-up memories).
GaugeTime AddSeconds(const GaugeTime& time, long long seconds);

// Columns of a record (1-based, inclusive):
//   1-4 number, 7-16 value, 18-21 unit ("ym" for µm), 23-25 material,
//   27-45 "yyyy-mm-dd hh:nn:ss".
// "   7        12.3 ym   FE  2024-12-05 10:15:30"
struct RecordReading {
    int number = 0;
    double value = 0.0;
    int decimals = 1;
    std::string unit;
    std::string material;
    GaugeTime time;
};
inline constexpr std::size_t kRecordLength = 45;
std::string RecordText(const RecordReading& reading);

// A live notification: one record, or the two records of a dual probe,
// each followed by CR LF, so that the second record is exactly the second
// half of the value.
std::string LiveValue(const std::vector<RecordReading>& readings);

// Class 5 memory files. Multi-byte numbers are little-endian.
namespace file_layout {
inline constexpr std::size_t kHeaderSize = 160;
inline constexpr std::size_t kFirstNumber = 4;
inline constexpr std::size_t kTwoDigits = 6;
inline constexpr std::size_t kComment = 8;
inline constexpr std::size_t kCommentSize = 114;
inline constexpr std::size_t kDateTime = 122;  // second, minute, hour, day, month, year - 2000
inline constexpr std::size_t kValueCount = 128;
inline constexpr std::size_t kSecondCount = 130;
inline constexpr std::size_t kFloats = 132;  // F1 ... F7
inline constexpr std::size_t kFloatCount = 7;
inline constexpr std::size_t kFloatRecordSize = 4;  // "s" and "t" files
inline constexpr std::size_t kFullRecordSize = 16;  // "m" files
inline constexpr std::uint8_t kInvalidFlag = 0x80;
inline constexpr std::uint8_t kProbeMask = 0x0F;
}  // namespace file_layout

struct FileHeader {
    std::uint8_t firstNumber = 1;
    std::string twoDigits = "01";
    std::string comment;
    GaugeTime time;
    std::uint16_t valueCount = 0;
    std::uint16_t secondCount = 0;
    float floats[file_layout::kFloatCount] = {};
};

// One record of an "m" file.
struct FullRecord {
    bool invalid = false;
    std::uint8_t probeCode = 0;  // 0 FE, 1 NF, 2 DFE, 3 DNF, ... 9 PZP; 10-15 unnamed
    GaugeTime time;
    float value = 0.0f;
    std::uint32_t number = 0;
};

std::string FileHeaderBytes(const FileHeader& header);
std::string FullRecordBytes(const FullRecord& record);
std::string FloatBytes(float value);
// Upper-case hexadecimal, two digits a byte.
std::string HexText(const std::string& bytes);

}  // namespace quen::gaugesim
