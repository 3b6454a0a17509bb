#include "gauge_settings.h"

#include <gtest/gtest.h>

#include "demo_gauges.h"
#include "gauge_records.h"

namespace quen::gaugesim {
namespace {

using namespace std::chrono_literals;

const std::time_t kHostNow = 1733390130;

TEST(SettingLine, SplitsTrimsAndSkipsComments)
{
    struct Case {
        const char* line;
        bool setting;
        const char* key;
        const char* value;
        const char* error;
    };
    const Case cases[] = {
        {"name = QV-FE 1", true, "name", "QV-FE 1", ""},
        {"  fault=late 10\r", true, "fault", "late 10", ""},
        {"quen00 = S:1 A:=x", true, "quen00", "S:1 A:=x", ""},
        {"battery =", true, "battery", "", ""},
        {"", false, "", "", ""},
        {"   ", false, "", "", ""},
        {"# name = x", false, "", "", ""},
        {"name", false, "", "", "\"name\" is not \"key = value\""},
        {"= 3", false, "", "", "\"= 3\" has no key"},
    };
    for (const Case& c : cases) {
        std::string key;
        std::string value;
        std::string error;
        EXPECT_EQ(SplitSettingLine(c.line, key, value, error), c.setting) << c.line;
        EXPECT_EQ(error, c.error) << c.line;
        if (c.setting) {
            EXPECT_EQ(key, c.key);
            EXPECT_EQ(value, c.value);
        }
    }
}

TEST(ApplySetting, RefusalsLeaveTheGaugeUnchanged)
{
    const std::pair<std::pair<const char*, const char*>, const char*> cases[] = {
        {{"model", "QV"}, "model: given once, before the other settings"},
        {{"name", ""}, "name: 1 to 26 printable characters"},
        {{"name", "012345678901234567890123456"}, "name: 1 to 26 printable characters"},
        {{"name", "tab\there"}, "name: 1 to 26 printable characters"},
        {{"address", "E8C04D00010"}, "address: twelve hexadecimal digits, not \"E8C04D00010\""},
        {{"address", "E8C04D00010G"}, "address: twelve hexadecimal digits, not \"E8C04D00010G\""},
        {{"class", "6"}, "class: 4 or 5, not \"6\""},
        {{"service", "other"}, "service: main or alternative, not \"other\""},
        {{"quen00", "S:1!"}, "quen00: printable text without \"!\""},
        {{"battery", "3.9!"}, "battery: printable text without \"!\""},
        {{"clock", "yesterday"}, "clock: \"host\" or yyyy-mm-dd/hh:nn:ss, not \"yesterday\""},
        {{"reply_delay", "-1"}, "reply_delay: \"-1\" is not a number of milliseconds (0 to 86400000)"},
        {{"reply_delay", "86400001"}, "reply_delay: \"86400001\" is not a number of milliseconds (0 to 86400000)"},
        {{"live_interval", "1e3"}, "live_interval: \"1e3\" is not a number of milliseconds (0 to 86400000)"},
        {{"echo", "loud"}, "echo: stripped or written, not \"loud\""},
        {{"live_unit", "mmmmm"}, "live_unit: 1 to 4 printable characters"},
        {{"live_material", "ABCD"}, "live_material: 1 to 3 printable characters"},
        {{"live_range", "5 1"}, "live_range: two numbers, low and high (within +-1000000)"},
        {{"live_range", "1 nan"}, "live_range: two numbers, low and high (within +-1000000)"},
        {{"live_range", "1 2e9"}, "live_range: two numbers, low and high (within +-1000000)"},
        {{"live_range", "1,5 2"}, "live_range: two numbers, low and high (within +-1000000)"},
        {{"live_decimals", "4"}, "live_decimals: 0 to 3"},
        {{"dual_probe", "maybe"}, "dual_probe: yes or no"},
        {{"fault", ""}, "fault: no mode given"},
        {{"fault", "silent 3"}, "fault: bad argument in \"silent 3\""},
        {{"fault", "link-loss"}, "fault: bad argument in \"link-loss\""},
        {{"fault", "link-loss 0"}, "fault: bad argument in \"link-loss 0\""},
        {{"fault", "link-loss 2 x"}, "fault: bad argument in \"link-loss 2 x\""},
        {{"fault", "close-fails 0"}, "fault: bad argument in \"close-fails 0\""},
        {{"fault", "size-overstated -5"}, "fault: bad argument in \"size-overstated -5\""},
        {{"fault", "late 1 2"}, "fault: bad argument in \"late 1 2\""},
        {{"fault", "late 0"}, "fault: bad argument in \"late 0\""},
        {{"fault", "from"}, "fault: bad argument in \"from\""},
        {{"fault", "from 0"}, "fault: bad argument in \"from 0\""},
        {{"fault", "att-error 0"}, "fault: bad argument in \"att-error 0\""},
        {{"fault", "att-error 0x100"}, "fault: bad argument in \"att-error 0x100\""},
        {{"fault", "att-error 0x"}, "fault: bad argument in \"att-error 0x\""},
        {{"fault", "att-error 0xG1"}, "fault: bad argument in \"att-error 0xG1\""},
        {{"fault", "att-error -1"}, "fault: bad argument in \"att-error -1\""},
        {{"fault", "att-error 0E"}, "fault: bad argument in \"att-error 0E\""},
        {{"fault", "att-error 14 both"}, "fault: bad argument in \"att-error 14 both\""},
        {{"fault", "att-error 14 reads 2"}, "fault: bad argument in \"att-error 14 reads 2\""},
        {{"fault", "sometimes"},
         "fault: unknown mode \"sometimes\" (none, silent, garbage, non-numeric, late, from, link-loss, "
         "count-mismatch, "
         "size-overstated, close-fails, att-error)"},
        {{"colour", "red"}, "unknown key \"colour\""},
    };
    GaugeSetup original;
    ASSERT_TRUE(ModelDefaults("QV", original));
    for (const auto& [setting, error] : cases) {
        GaugeSetup setup = original;
        EXPECT_EQ(ApplySetting(setup, setting.first, setting.second, kHostNow), error) << setting.first;
        EXPECT_EQ(setup.name, original.name);
        EXPECT_EQ(setup.faults, original.faults);
        EXPECT_EQ(setup.replyDelay, original.replyDelay);
    }
}

TEST(ApplySetting, EachKeyTakesEffect)
{
    GaugeSetup setup;
    ASSERT_TRUE(ModelDefaults("PEL", setup));
    const std::pair<const char*, const char*> settings[] = {
        {"name", "PELLAX FE 2"},  {"address", "a1b2c3d4e5f6"},
        {"class", "5"},           {"service", "alternative"},
        {"quen00", "S:1 A:0"},    {"gpi", "T:x"},
        {"battery", "n/a"},       {"clock", "2024-12-05/10:15:30"},
        {"reply_delay", "250"},   {"live_interval", "1000"},
        {"echo", "written"},      {"live_unit", "mils"},
        {"live_material", "NFE"}, {"live_range", "-1.5 2.25"},
        {"live_decimals", "3"},   {"dual_probe", "no"},
        {"fault", "garbage"},     {"fault", "count-mismatch"},
        {"fault", "link-loss 4"}, {"fault", "att-error 0x0A reads"},
    };
    for (const auto& [key, value] : settings)
        ASSERT_EQ(ApplySetting(setup, key, value, kHostNow), "") << key;
    EXPECT_EQ(setup.name, "PELLAX FE 2");
    EXPECT_EQ(setup.address, 0xA1B2C3D4E5F6ULL);
    EXPECT_EQ(setup.gaugeClass, GaugeClass::MemoryFiles);
    EXPECT_EQ(setup.service, MainService::Alternative);
    EXPECT_EQ(setup.quen00, "S:1 A:0");
    EXPECT_EQ(setup.gpi, "T:x");
    EXPECT_EQ(setup.battery, "n/a");
    std::time_t when = 0;
    ASSERT_TRUE(FromGaugeTime({2024, 12, 5, 10, 15, 30}, when));
    EXPECT_EQ(setup.clockOffsetSeconds, static_cast<std::int64_t>(when - kHostNow));
    EXPECT_EQ(setup.replyDelay, 250ms);
    EXPECT_EQ(setup.liveInterval, 1000ms);
    EXPECT_EQ(setup.echo, EchoStyle::Written);
    EXPECT_EQ(setup.reading.unit, "mils");
    EXPECT_EQ(setup.reading.material, "NFE");
    EXPECT_EQ(setup.reading.low, -1.5);
    EXPECT_EQ(setup.reading.high, 2.25);
    EXPECT_EQ(setup.reading.decimals, 3);
    EXPECT_FALSE(setup.reading.dualProbe);
    FaultModes faults;
    faults.garbage = true;
    faults.directoryCountOffset = 2;
    faults.linkLossAt = 4;
    faults.attError = 0x0A;
    faults.attErrorOn = AttErrorOn::Reads;
    EXPECT_EQ(setup.faults, faults);
    ASSERT_EQ(ApplySetting(setup, "fault", "none", kHostNow), "");
    EXPECT_EQ(setup.faults, FaultModes{});
    ASSERT_EQ(ApplySetting(setup, "fault", "late", kHostNow), "");
    EXPECT_EQ(setup.faults.lateReply, 3000ms);
    EXPECT_EQ(setup.replyDelay, 250ms);
    ASSERT_EQ(ApplySetting(setup, "clock", "host", kHostNow), "");
    EXPECT_EQ(setup.clockOffsetSeconds, 0);
}

TEST(Address, TextAndBack)
{
    std::uint64_t address = 0;
    EXPECT_TRUE(ParseAddress("00c0ffee0001", address));
    EXPECT_EQ(AddressText(address), "00C0FFEE0001");
    EXPECT_EQ(AddressText(0xFFFFFFFFFFFFULL), "FFFFFFFFFFFF");
    EXPECT_EQ(AddressText(0x1000000000000ULL), "");
    for (const char* bad : {"", "00C0FFEE000", "00C0FFEE00011", "00C0FFEE000Z", " 0C0FFEE0001", "-0C0FFEE0001"})
        EXPECT_FALSE(ParseAddress(bad, address)) << bad;
}

} // namespace
} // namespace quen::gaugesim
