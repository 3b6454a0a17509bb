#include "gauge_state.h"

#include <gtest/gtest.h>

#include "demo_gauges.h"

namespace quen::gaugesim {
namespace {

using namespace std::chrono_literals;

GaugeSetup Model(const std::string& key)
{
    GaugeSetup setup;
    EXPECT_TRUE(ModelDefaults(key, setup));
    return setup;
}

const std::time_t kHostNow = 1733390130; // a fixed host time

std::string Repeat(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

TEST(GaugeState, EchoThenReplyWhenTheDelayHasPassed)
{
    GaugeSetup setup = Model("QV");
    setup.replyDelay = 100ms;
    GaugeState state(setup);
    const auto t0 = GaugeState::Clock::time_point{} + 10s;
    EXPECT_EQ(state.WriteCommand("$gcv!", t0, kHostNow), "$gcv!");
    EXPECT_EQ(state.DueReply(t0), std::nullopt);
    EXPECT_EQ(state.DueReply(t0 + 99ms), std::nullopt);
    EXPECT_EQ(state.DueReply(t0 + 100ms), "$gcv?4.02!");
    EXPECT_EQ(state.DueReply(t0 + 200ms), std::nullopt); // given once
    // A new command replaces a reply not yet given.
    state.WriteCommand("$gcv!", t0, kHostNow);
    EXPECT_EQ(state.WriteCommand("$quen00!", t0 + 50ms, kHostNow), "$quen00!");
    EXPECT_EQ(state.DueReply(t0 + 150ms)->substr(0, 8), "$quen00?");
}

TEST(GaugeState, EchoKeepsTheWrittenBytesUnlessStripped)
{
    GaugeSetup setup = Model("PEL");
    GaugeState state(setup);
    EXPECT_EQ(state.WriteCommand("$slt?2024-12-05/10:15:30!\r\n", {}, kHostNow), "$slt?2024-12-05/10:15:30!\r\n");
    setup.echo = EchoStyle::Stripped;
    GaugeState stripped(setup);
    EXPECT_EQ(stripped.WriteCommand("$fc?3!", {}, kHostNow), "fc?3!");
}

TEST(GaugeState, ClockIsAnOffsetFromTheHostClock)
{
    GaugeState state(Model("QV"));
    EXPECT_EQ(state.Answer("$slt?2031-02-03/04:05:06!\r\n", kHostNow), "$slt?0!");
    EXPECT_EQ(state.Answer("$glt!", kHostNow), "$glt?2031-02-03/04:05:06!");
    EXPECT_EQ(state.Answer("$glt!", kHostNow + 61), "$glt?2031-02-03/04:06:07!");
    EXPECT_EQ(state.Answer("$slt?2031-02-03/04:05!", kHostNow), "$slt?1!");
    EXPECT_EQ(state.Answer("$glt!", kHostNow), "$glt?2031-02-03/04:05:06!"); // unchanged
}

TEST(GaugeState, HandlesAreNumberedAndFilesReadToTheEnd)
{
    GaugeSetup setup = Model("QV");
    setup.files = {{"m1", std::string(70, '\xAB')}, {"s2", "xyz"}};
    GaugeState state(setup);
    EXPECT_EQ(state.Answer("$ls!", kHostNow), "$ls?0002 files m1 s2!");
    EXPECT_EQ(state.Answer("$fr?m1!", kHostNow), "$fr?1 70!");
    EXPECT_EQ(state.Answer("$fr?s2!", kHostNow), "$fr?2 3!");
    EXPECT_EQ(state.Answer("$rd?1 32!", kHostNow), "$rd?1 0 32 " + Repeat("AB", 32) + "!");
    EXPECT_EQ(state.Answer("$rd?2 32!", kHostNow), "$rd?2 0 03 78797A!");
    EXPECT_EQ(state.Answer("$rd?1 32!", kHostNow).size(), 11u + 64 + 1);
    EXPECT_EQ(state.Answer("$rd?1 32!", kHostNow), "$rd?1 0 06 ABABABABABAB!");
    EXPECT_EQ(state.Answer("$rd?1 32!", kHostNow), "$rd?1 0 00 !");
    EXPECT_EQ(state.Answer("$fc?1!", kHostNow), "$fc?1 0!");
    EXPECT_EQ(state.Answer("$rd?1 32!", kHostNow), "$rd?1 1 00!");
    EXPECT_EQ(state.Answer("$fc?1!", kHostNow), "$fc?1 1!");
    EXPECT_EQ(state.Answer("$fr?m1!", kHostNow), "$fr?3 70!"); // a new handle
}

TEST(GaugeState, MalformedCommandsGetTheErrorReply)
{
    GaugeState state(Model("QV"));
    const std::pair<std::string, std::string> cases[] = {
        {"", "$err?!"},
        {"!", "$err?!"},
        {"$", "$err?!"},
        {"$!", "$err?!"},
        {"$ls", "$err?ls!"},
        {"$ls!x!", "$err?ls!"},
        {"$LS!", "$err?LS!"},
        {"$rd?1!", "$err?rd!"},
        {"$rd?1  32!", "$err?rd!"},
        {"$rd?-1 32!", "$err?rd!"},
        {"$rd?1 +32!", "$err?rd!"},
        {"$rd?1 9999999999!", "$err?rd!"},
        {"$fc?!", "$err?fc!"},
        {"$fc?1 2!", "$err?fc!"},
        {" $gcv!", "$err?!"},
        {"$gcv! \r\n", "$gcv?4.02!"},
    };
    for (const auto& [command, reply] : cases)
        EXPECT_EQ(state.Answer(command, kHostNow), reply) << command;
}

TEST(GaugeState, AnyBytesGetAReplyAndNothingBreaks)
{
    for (const std::string& model : ModelKeys()) {
        GaugeSetup setup = Model(model);
        setup.files = DemoMemoryFiles(setup);
        GaugeState state(setup);
        for (int b = 0; b < 256; ++b) {
            const std::string byte(1, static_cast<char>(b));
            for (const std::string& text : {byte, "$" + byte + "!", "$rd?1 " + byte + "!"}) {
                const std::string reply = state.Answer(text, kHostNow);
                ASSERT_FALSE(reply.empty());
                ASSERT_EQ(reply.front(), '$');
                ASSERT_EQ(reply.back(), '!');
            }
        }
        EXPECT_EQ(state.Answer("$" + std::string(1 << 20, 'a') + "!", kHostNow).size(), 6u + (1 << 20));
        EXPECT_EQ(state.Answer("$fr?" + std::string(1 << 20, 'm') + "!", kHostNow),
                  setup.gaugeClass == GaugeClass::MemoryFiles ? "$fr?0 0!" : "$err?fr!");
    }
}

TEST(GaugeState, ClassFourDataInReadsOfFiveThenEmpty)
{
    GaugeSetup setup = Model("PEL");
    setup.memories = {{"1", {"a", "b", "c", "d", "e", "f", "g"}}, {"2", {}}};
    GaugeState state(setup);
    EXPECT_EQ(state.DirectoryText(), "2\n1,7\n2,0");
    EXPECT_EQ(state.NextData(), ""); // nothing selected
    state.Select(" 1\r\n");
    EXPECT_EQ(state.NextData(), "a\nb\nc\nd\ne");
    EXPECT_EQ(state.NextData(), "f\ng");
    EXPECT_EQ(state.NextData(), "");
    state.Select("2");
    EXPECT_EQ(state.NextData(), "");
    state.Select("1");
    state.Select("-");
    EXPECT_EQ(state.NextData(), "");
}

TEST(GaugeState, LinkLossOnceAtTheKthRequestCountedFromWhenItWasSet)
{
    GaugeState state(Model("QV"));
    EXPECT_FALSE(state.CountRequest());
    ASSERT_EQ(state.Configure("fault = link-loss 3", kHostNow), "");
    EXPECT_FALSE(state.CountRequest());
    EXPECT_FALSE(state.CountRequest());
    EXPECT_TRUE(state.CountRequest());
    for (int i = 0; i < 10; ++i)
        EXPECT_FALSE(state.CountRequest());
}

TEST(GaugeState, FaultsShapeTheReply)
{
    struct Case {
        const char* fault;
        const char* command;
        const char* value; // what a read shows once the reply is due
    };
    const Case cases[] = {
        {"silent", "$gcv!", "$gcv!"},
        {"non-numeric", "$gcv!", "$gcv?x.xx!"},
        {"non-numeric", "$quen00!", "$quen00?S:xxxx R:x.xx M:ExCxxDxxxxxx T:x V: B: H:x.x U:ym N:QVxxx A:x!"},
        {"size-overstated 10", "$fr?m0005!", "$fr?1 170!"},
        {"close-fails 3", "$fc?0!", "$fc?0 1!"}, // an unknown handle is a failure anyway
    };
    for (const Case& c : cases) {
        GaugeSetup setup = Model("QV");
        setup.files = DemoMemoryFiles(setup);
        setup.replyDelay = 0ms;
        GaugeState state(setup);
        ASSERT_EQ(state.Configure(std::string("fault = ") + c.fault, kHostNow), "");
        const std::string echo = state.WriteCommand(c.command, {}, kHostNow);
        EXPECT_EQ(state.DueReply({}).value_or(echo), c.value) << c.fault;
    }
}

// "from k": the reply faults act from the k-th request on (counted from
// when it was set); the requests before get their true replies.
TEST(GaugeState, ReplyFaultsActFromTheKthRequest)
{
    for (const char* fault : {"silent", "non-numeric"}) {
        for (int from = 1; from <= 4; ++from) {
            GaugeSetup setup = Model("QV");
            setup.replyDelay = 0ms;
            GaugeState state(setup);
            ASSERT_EQ(state.Configure(std::string("fault = ") + fault, kHostNow), "");
            ASSERT_EQ(state.Configure("fault = from " + std::to_string(from), kHostNow), "");
            for (int request = 1; request <= 5; ++request) {
                EXPECT_FALSE(state.CountRequest());
                const std::string echo = state.WriteCommand("$gcv!", {}, kHostNow);
                const std::string shown = state.DueReply({}).value_or(echo);
                const bool faulted = request >= from;
                const std::string expected = std::string(fault) == "silent" ? "$gcv!" : "$gcv?x.xx!";
                EXPECT_EQ(shown == expected, faulted) << fault << " from " << from << ", request " << request;
            }
        }
    }
}

// "att-error": the chosen operations get the code from the k-th request on;
// "fault = none" ends it.
TEST(GaugeState, AttErrorActsOnItsOperationsFromTheKthRequest)
{
    struct Case {
        const char* fault;
        std::uint8_t code;
        bool reads;
        bool writes;
    };
    const Case cases[] = {{"att-error", 0x0E, true, true},
                          {"att-error 0x0a reads", 0x0A, true, false},
                          {"att-error 255 writes", 0xFF, false, true}};
    for (const Case& c : cases) {
        for (int from = 1; from <= 3; ++from) {
            SCOPED_TRACE(std::string(c.fault) + " from " + std::to_string(from));
            GaugeState state(Model("QV"));
            ASSERT_EQ(state.Configure(std::string("fault = ") + c.fault, kHostNow), "");
            ASSERT_EQ(state.Configure("fault = from " + std::to_string(from), kHostNow), "");
            for (int request = 1; request <= 4; ++request) {
                EXPECT_FALSE(state.CountRequest());
                const bool acting = request >= from;
                EXPECT_EQ(state.AttError(false), acting && c.reads ? c.code : 0) << "request " << request;
                EXPECT_EQ(state.AttError(true), acting && c.writes ? c.code : 0) << "request " << request;
            }
            ASSERT_EQ(state.Configure("fault = none", kHostNow), "");
            EXPECT_EQ(state.AttError(false), 0);
            EXPECT_EQ(state.AttError(true), 0);
        }
    }
}

TEST(WithoutNumbers, DigitsAfterTheQuestionMark)
{
    EXPECT_EQ(WithoutNumbers("$fr?3 1234!"), "$fr?x xxxx!");
    EXPECT_EQ(WithoutNumbers("$quen00?S:1!"), "$quen00?S:x!");
    EXPECT_EQ(WithoutNumbers("$gcv!"), "$gcv!");
}

} // namespace
} // namespace quen::gaugesim
