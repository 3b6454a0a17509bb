#include "gauge_records.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace quen::gaugesim {

GaugeTime ToGaugeTime(std::time_t when)
{
    std::tm local{};
    localtime_r(&when, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

bool FromGaugeTime(const GaugeTime& time, std::time_t& when)
{
    std::tm local{};
    local.tm_year = time.year - 1900;
    local.tm_mon = time.month - 1;
    local.tm_mday = time.day;
    local.tm_hour = time.hour;
    local.tm_min = time.minute;
    local.tm_sec = time.second;
    local.tm_isdst = -1;
    when = std::mktime(&local);
    // mktime normalises 31 February into March: such a date is refused.
    // (The hour may move in a daylight-saving gap; that time is accepted.)
    return when != static_cast<std::time_t>(-1) && local.tm_year == time.year - 1900 &&
           local.tm_mon == time.month - 1 && local.tm_mday == time.day;
}

std::string ClockText(const GaugeTime& time)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d/%02d:%02d:%02d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
    return text;
}

bool ParseClockText(const std::string& text, GaugeTime& time)
{
    // yyyy-mm-dd/hh:nn:ss, every field zero-padded.
    static constexpr char kPattern[] = "9999-99-99/99:99:99";
    if (text.size() != sizeof kPattern - 1)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kPattern[i] == '9' ? !digit : text[i] != kPattern[i])
            return false;
    }
    auto number = [&](std::size_t at, std::size_t length) { return std::stoi(text.substr(at, length)); };
    GaugeTime parsed{number(0, 4), number(5, 2), number(8, 2), number(11, 2), number(14, 2), number(17, 2)};
    if (parsed.month < 1 || parsed.month > 12 || parsed.day < 1 || parsed.day > 31 || parsed.hour > 23 ||
        parsed.minute > 59 || parsed.second > 59 || parsed.year < 2000 || parsed.year > 2255)
        return false;
    std::time_t check = 0;
    if (!FromGaugeTime(parsed, check))
        return false;
    time = parsed;
    return true;
}

GaugeTime AddSeconds(const GaugeTime& time, long long seconds)
{
    // Civil arithmetic without a time zone: days from 1970-01-01.
    auto daysFromCivil = [](long long y, unsigned m, unsigned d) {
        y -= m <= 2;
        const long long era = (y >= 0 ? y : y - 399) / 400;
        const unsigned yoe = static_cast<unsigned>(y - era * 400);
        const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
        const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
        return era * 146097 + static_cast<long long>(doe) - 719468;
    };
    long long total = daysFromCivil(time.year, static_cast<unsigned>(time.month), static_cast<unsigned>(time.day)) *
                          86400 +
                      time.hour * 3600 + time.minute * 60 + time.second + seconds;
    long long days = total >= 0 ? total / 86400 : (total - 86399) / 86400;
    long long rest = total - days * 86400;
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(days - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    const long long y = static_cast<long long>(yoe) + era * 400 + (m <= 2);
    return {static_cast<int>(y), static_cast<int>(m), static_cast<int>(d), static_cast<int>(rest / 3600),
            static_cast<int>(rest % 3600 / 60), static_cast<int>(rest % 60)};
}

std::string RecordText(const RecordReading& reading)
{
    // Always a "." whatever the host's LC_NUMERIC (a Qt host sets it from
    // the user's locale): the gauge does not know the computer's locale.
    char value[64] = {};
    const auto [end, error] = std::to_chars(value, value + sizeof value - 1, reading.value,
                                            std::chars_format::fixed, reading.decimals);
    if (error != std::errc{})
        value[0] = '\0';
    else
        *end = '\0';
    char text[160];
    // The number column holds four digits; a gauge counting past 9999 wraps.
    std::snprintf(text, sizeof text, "%4d  %10.10s %-4.4s %-3.3s %04d-%02d-%02d %02d:%02d:%02d",
                  reading.number % 10000, value, reading.unit.c_str(), reading.material.c_str(), reading.time.year,
                  reading.time.month, reading.time.day, reading.time.hour, reading.time.minute, reading.time.second);
    return text;
}

std::string LiveValue(const std::vector<RecordReading>& readings)
{
    std::string value;
    for (const RecordReading& reading : readings)
        value += RecordText(reading) + "\r\n";
    return value;
}

namespace {

void PutLittleEndian(std::string& bytes, std::size_t at, std::uint32_t value, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutTime(std::string& bytes, std::size_t at, const GaugeTime& time)
{
    const int fields[] = {time.second, time.minute, time.hour, time.day, time.month, time.year - 2000};
    for (std::size_t i = 0; i < 6; ++i)
        bytes[at + i] = static_cast<char>(fields[i] & 0xFF);
}

std::uint32_t FloatBits(float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace

std::string FloatBytes(float value)
{
    std::string bytes(4, '\0');
    PutLittleEndian(bytes, 0, FloatBits(value), 4);
    return bytes;
}

std::string FileHeaderBytes(const FileHeader& header)
{
    using namespace file_layout;
    std::string bytes(kHeaderSize, '\0');
    bytes[kFirstNumber] = static_cast<char>(header.firstNumber);
    for (std::size_t i = 0; i < 2 && i < header.twoDigits.size(); ++i)
        bytes[kTwoDigits + i] = header.twoDigits[i];
    bytes.replace(kComment, std::min(header.comment.size(), kCommentSize), header.comment, 0, kCommentSize);
    PutTime(bytes, kDateTime, header.time);
    PutLittleEndian(bytes, kValueCount, header.valueCount, 2);
    PutLittleEndian(bytes, kSecondCount, header.secondCount, 2);
    for (std::size_t i = 0; i < kFloatCount; ++i)
        PutLittleEndian(bytes, kFloats + 4 * i, FloatBits(header.floats[i]), 4);
    return bytes;
}

std::string FullRecordBytes(const FullRecord& record)
{
    using namespace file_layout;
    std::string bytes(kFullRecordSize, '\0');
    bytes[1] = static_cast<char>((record.invalid ? kInvalidFlag : 0) | (record.probeCode & kProbeMask));
    PutTime(bytes, 2, record.time);
    PutLittleEndian(bytes, 8, FloatBits(record.value), 4);
    PutLittleEndian(bytes, 12, record.number, 4);
    return bytes;
}

std::string HexText(const std::string& bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (unsigned char byte : bytes) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

}  // namespace quen::gaugesim
