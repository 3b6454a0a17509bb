// The control object's event side: how engine arguments reach the sink and
// how the sink's changes to its by-reference arguments come back.
#include "control.h"
#include "platform/no_radio_platform.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace vornik::surface {
namespace {

struct SinkCall {
    std::int32_t dispid = 0;
    std::vector<vornik_variant> seen; // copies of type and number only
    std::vector<std::string> texts;
};

class ControlObject : public ::testing::Test {
protected:
    ControlObject()
        : control(new Control(std::make_unique<vornik::platform::NoRadioPlatform>()))
    {
        control->Advise(&ControlObject::sink, this);
    }
    ~ControlObject() override { control->Release(); }

    static void sink(void* context, std::int32_t dispid, vornik_variant* args, std::int32_t count)
    {
        auto* self = static_cast<ControlObject*>(context);
        SinkCall call{dispid, {}, {}};
        for (std::int32_t i = 0; i < count; ++i) {
            call.seen.push_back({args[i].type, args[i].i, nullptr, 0, 0});
            call.texts.push_back(args[i].data ? std::string(args[i].data, args[i].len) : std::string());
        }
        self->calls.push_back(call);
        if (self->change)
            self->change(args);
    }

    Control* control;
    std::vector<SinkCall> calls;
    std::function<void(vornik_variant*)> change;
};

TEST_F(ControlObject, ArgumentsReachTheSinkAsVariants)
{
    std::string serverId = "00C0FFEE0001", name = "\xB5m", uuids, withData, solicited;
    std::string data("\x01\x00\x80", 3);
    short rssi = -60, txPower = -4, company = 0x0131;
    bool connectable = true, scanResponse = false;
    control->Advertisement(serverId, name, rssi, txPower, uuids, withData, solicited, company, data, connectable,
                           scanResponse);
    ASSERT_EQ(calls.size(), 1u);
    const SinkCall& call = calls[0];
    EXPECT_EQ(call.dispid, VORNIK_EVENT_Advertisement);
    ASSERT_EQ(call.seen.size(), 11u);
    EXPECT_EQ(call.texts[1], "\u00B5m");
    EXPECT_EQ(call.seen[2].type, VORNIK_VT_I2);
    EXPECT_EQ(call.seen[2].i, -60);
    EXPECT_EQ(call.seen[7].i, 0x0131);
    EXPECT_EQ(call.texts[8], std::string("\x01\x00\u20AC", 5)); // a byte value keeps its zero byte
    EXPECT_EQ(call.seen[9].type, VORNIK_VT_BOOL);
    EXPECT_EQ(call.seen[9].i, -1);
    EXPECT_EQ(call.seen[10].i, 0);
    EXPECT_EQ(call.seen[4].type, VORNIK_VT_STR); // empty strings are strings, not empty variants
}

TEST_F(ControlObject, OrdinaryStringsEndAtTheirFirstZero)
{
    short code = 3;
    std::string description("ab\0cd", 5);
    control->Error(code, description);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].texts[1], "ab");
}

TEST_F(ControlObject, ChangedArgumentsGoBackToTheEngine)
{
    change = [](vornik_variant* args) {
        vornik_variant_set_string(&args[1], "\u00C4\u20AC", 5);
        vornik_variant_set_i2(&args[2], -70);
        vornik_variant_set_string(&args[8], "\0\u00FF", 3);
        vornik_variant_set_bool(&args[9], 0);
    };
    std::string serverId = "00C0FFEE0001", name = "old", uuids, withData, solicited, data = "x";
    short rssi = -60, txPower = -4, company = 1;
    bool connectable = true, scanResponse = false;
    control->Advertisement(serverId, name, rssi, txPower, uuids, withData, solicited, company, data, connectable,
                           scanResponse);
    EXPECT_EQ(name, "\xC4\x80");
    EXPECT_EQ(rssi, -70);
    EXPECT_EQ(data, std::string("\x00\xFF", 2));
    EXPECT_FALSE(connectable);
    EXPECT_EQ(serverId, "00C0FFEE0001");
}

TEST_F(ControlObject, ChangesOfTheWrongTypeLeaveTheArgument)
{
    change = [](vornik_variant* args) {
        vornik_variant_set_i2(&args[1], 7);             // a number for the description: taken as its text
        vornik_variant_set_string(&args[0], "many", 4); // no number: ignored
    };
    short status = 0;
    std::string description = "Online";
    control->Connected(status, description);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(description, "7");
}

TEST_F(ControlObject, NoSinkNoCall)
{
    control->Advise(nullptr, nullptr);
    short level = 1;
    std::string message = "m", type = "Connection";
    control->Log(level, message, type);
    EXPECT_TRUE(calls.empty());
}

} // namespace
} // namespace vornik::surface
