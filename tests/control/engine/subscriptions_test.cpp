// Subscribe, Unsubscribe and the subscription state the engine keeps.
#include "sim_fixture.h"

namespace vornik::test {
namespace {

using sim::SimOp;
using Events = std::vector<std::string>;
namespace prop = platform::prop;

// Service 0xFFE0 at 1: notify 0xFFE1 (3, CCCD 4), both 0xFFE2 (6, CCCD 7),
// indicate 0xFFE3 (9, CCCD 10), plain 0xFFE4 (12) read only.
// Service 0x180F at 13: level 0x2A19 (15, CCCD 16) notify.
class Subscriptions : public EngineOnSim {
protected:
    Subscriptions()
    {
        const std::uint16_t main = gauge_->AddService(Uuid::FromShort(0xFFE0));
        gauge_->AddCharacteristic(main, Uuid::FromShort(0xFFE1), prop::kNotify);
        gauge_->AddCharacteristic(main, Uuid::FromShort(0xFFE2), prop::kNotify | prop::kIndicate);
        gauge_->AddCharacteristic(main, Uuid::FromShort(0xFFE3), prop::kIndicate);
        gauge_->AddCharacteristic(main, Uuid::FromShort(0xFFE4), prop::kRead);
        const std::uint16_t battery = gauge_->AddService(Uuid::FromShort(0x180F));
        gauge_->AddCharacteristic(battery, Uuid::FromShort(0x2A19), prop::kRead | prop::kNotify);
        ConnectGauge();
        Config("AutoDiscoverCharacteristics=True");
        EXPECT_EQ(engine_->DiscoverServices("", ""), 0);
        EXPECT_EQ(engine_->SetService(svc_), 0);
        events_.Clear();
        gauge_->ResetCounters();
    }

    const std::string svc_ = Id(1);
    const std::string notify_ = Id(1, 3);
    const std::string both_ = Id(1, 6);
    const std::string indicate_ = Id(1, 9);
    const std::string plain_ = Id(1, 12);
};

TEST_F(Subscriptions, SubscribeTwiceWritesTheCccdOnceAndRaisesSubscribedOnce)
{
    Config("LogLevel=1");
    ASSERT_EQ(engine_->Subscribe(svc_, notify_), 0);
    ASSERT_EQ(engine_->Subscribe(svc_, notify_), 0);
    EXPECT_EQ(gauge_->Count(SimOp::WriteCccd), 1);
    EXPECT_EQ(events_.Without("Discovered("),
              (Events{"Subscribed(000100000000,000100030000,0000FFE1-0000-1000-8000-00805F9B34FB,)"}));
    EXPECT_EQ(events_.LogsOfType("Subscriptions"),
              (Events{"1|Subscriptions|Subscribing to characteristic ID \"000100030000\".",
                      "1|Subscriptions|BLE Result Status: Success (Protocol Code: 0).",
                      "1|Subscriptions|Successfully subscribed to characteristic ID \"000100030000\"."}));
    EXPECT_EQ(gauge_->Cccd(3), 1);
}

struct CccdCase {
    const char* preferIndications;
    std::uint16_t characteristic;
    std::uint16_t cccd;
};

class CccdValue : public Subscriptions, public testing::WithParamInterface<CccdCase> {};

TEST_P(CccdValue, FollowsPreferIndicationsAndTheFlags)
{
    Config(std::string("PreferIndications=") + GetParam().preferIndications);
    ASSERT_EQ(engine_->Subscribe(svc_, Id(1, GetParam().characteristic)), 0);
    EXPECT_EQ(gauge_->Cccd(GetParam().characteristic), GetParam().cccd);
}

INSTANTIATE_TEST_SUITE_P(Cases, CccdValue,
                         testing::Values(CccdCase{"True", 6, 2}, CccdCase{"False", 6, 1}, CccdCase{"True", 3, 1},
                                         CccdCase{"False", 9, 2}, CccdCase{"True", 9, 2}));

// What the stack turns on, against what was asked: the result's kind is
// what counts. A subscription that turned nothing on fails with the CCCD
// refusal (953) and leaves the characteristic unsubscribed.
struct StackChoiceCase {
    sim::SimPeripheral::CccdChoice choice;
    const char* preferIndications;
    std::uint16_t cccd;
    int result;
};

class StackChoice : public Subscriptions, public testing::WithParamInterface<StackChoiceCase> {};

TEST_P(StackChoice, TheResultSaysWhatIsOn)
{
    gauge_->SetCccdChoice(GetParam().choice);
    Config(std::string("PreferIndications=") + GetParam().preferIndications);
    EXPECT_EQ(engine_->Subscribe(svc_, both_), GetParam().result);
    EXPECT_EQ(gauge_->Cccd(6), GetParam().cccd);
    bool subscribed = !GetParam().result;
    ASSERT_EQ(engine_->GetCharacteristicSubscribed(1, subscribed), 0);
    EXPECT_EQ(subscribed, GetParam().result == 0);
    EXPECT_EQ(events_.CountPrefix("Subscribed("), GetParam().result == 0 ? 1 : 0);
    if (GetParam().result != 0) {
        EXPECT_NE(engine_->LastError().find("(CCCD) improperly configured."), std::string::npos) << engine_->LastError();
    }
    // Off again: the result says nothing is on.
    gauge_->SetCccdChoice(sim::SimPeripheral::CccdChoice::Asked);
    EXPECT_EQ(engine_->Unsubscribe(svc_, both_), 0);
    EXPECT_EQ(gauge_->Cccd(6), 0);
}

using Choice = sim::SimPeripheral::CccdChoice;
std::string StackChoiceName(const testing::TestParamInfo<StackChoiceCase>& info)
{
    const char* choice = info.param.choice == Choice::Asked ? "Asked"
                         : info.param.choice == Choice::Stack ? "Stack"
                                                              : "Nothing";
    return std::string(choice) + "_Prefer" + info.param.preferIndications;
}

INSTANTIATE_TEST_SUITE_P(Cases, StackChoice,
                         testing::Values(StackChoiceCase{Choice::Asked, "True", 2, 0},
                                         StackChoiceCase{Choice::Stack, "True", 1, 0},
                                         StackChoiceCase{Choice::Stack, "False", 1, 0},
                                         StackChoiceCase{Choice::Nothing, "True", 0, 953},
                                         StackChoiceCase{Choice::Nothing, "False", 0, 953}),
                         StackChoiceName);

TEST_F(Subscriptions, NeitherNotifyNorIndicateFails602AndSendsNothing)
{
    EXPECT_EQ(engine_->Subscribe(svc_, plain_), 602);
    EXPECT_EQ(engine_->LastError(),
              "A characteristic cannot be subscribed to unless it has the 'Notify' and/or 'Indicate' flag set.");
    EXPECT_EQ(gauge_->Count(SimOp::WriteCccd), 0);
    EXPECT_EQ(gauge_->Count(SimOp::WriteDescriptor), 0);
    EXPECT_TRUE(events_.events.empty());
}

TEST_F(Subscriptions, ReadingTheStateTwiceAsksTheServerAtMostOnce)
{
    Config("LogLevel=3");
    gauge_->SetCccd(6, 2);
    bool subscribed = false;
    ASSERT_EQ(engine_->GetCharacteristicSubscribed(1, subscribed), 0);
    EXPECT_TRUE(subscribed);
    subscribed = false;
    ASSERT_EQ(engine_->CheckCharacteristicSubscribed(1, subscribed), 0);
    EXPECT_TRUE(subscribed);
    EXPECT_EQ(gauge_->Count(SimOp::ReadCccd), 1);
    EXPECT_TRUE(events_.HasLog("3|Subscriptions|Getting CCCD state for characteristic ID \"000100060000\" from device."));
    EXPECT_TRUE(events_.HasLog("3|Subscriptions|Got CCCD state for characteristic ID \"000100060000\" from device."));
    // A plain characteristic answers False without asking.
    ASSERT_EQ(engine_->GetCharacteristicSubscribed(3, subscribed), 0);
    EXPECT_FALSE(subscribed);
    EXPECT_EQ(gauge_->Count(SimOp::ReadCccd), 1);
    EXPECT_TRUE(events_.Without("Discovered(").empty());
}

TEST_F(Subscriptions, WritingThePropertySubscribesAndUnsubscribes)
{
    ASSERT_EQ(engine_->SetCharacteristicSubscribed(0, true), 0);
    ASSERT_EQ(engine_->SetCharacteristicSubscribed(0, false), 0);
    EXPECT_EQ(gauge_->Cccd(3), 0);
    EXPECT_EQ(events_.Without("Discovered("),
              (Events{"Subscribed(000100000000,000100030000,0000FFE1-0000-1000-8000-00805F9B34FB,)",
                      "Unsubscribed(000100000000,000100030000,0000FFE1-0000-1000-8000-00805F9B34FB,)"}));
    EXPECT_EQ(engine_->SetCharacteristicSubscribed(9, true), 432);
}

TEST_F(Subscriptions, UnsubscribeFromAServiceCoversItsSubscribableCharacteristics)
{
    ASSERT_EQ(engine_->Unsubscribe(svc_, ""), 0);
    EXPECT_EQ(gauge_->Count(SimOp::WriteCccd), 3);
    EXPECT_EQ(events_.CountPrefix("Unsubscribed(000100000000,"), 3);
    // Now every state is known: nothing more to send.
    ASSERT_EQ(engine_->Unsubscribe(svc_, ""), 0);
    EXPECT_EQ(gauge_->Count(SimOp::WriteCccd), 3);
}

TEST_F(Subscriptions, UnsubscribeFromEverythingGoesServiceByService)
{
    ASSERT_EQ(engine_->Subscribe(Id(13), Id(13, 15)), 0);
    events_.Clear();
    ASSERT_EQ(engine_->Unsubscribe("", ""), 0);
    EXPECT_EQ(gauge_->Count(SimOp::WriteCccd), 5);
    ASSERT_EQ(events_.Without("Discovered(").size(), 4u);
    EXPECT_EQ(events_.Without("Discovered(").back(),
              "Unsubscribed(000D00000000,000D000F0000,00002A19-0000-1000-8000-00805F9B34FB,Battery Level)");
    EXPECT_EQ(gauge_->Cccd(15), 0);
}

TEST_F(Subscriptions, UnsubscribeIdChecks)
{
    EXPECT_EQ(engine_->Unsubscribe("", notify_), 202);
    EXPECT_EQ(engine_->LastError(), "Must supply a service ID.");
    EXPECT_EQ(engine_->Unsubscribe("000900000000", ""), 601);
    EXPECT_EQ(engine_->Unsubscribe(svc_, "000100050000"), 601);
    EXPECT_EQ(engine_->Subscribe("", notify_), 601);
    EXPECT_EQ(engine_->LastError(), "No service with the ID \"\" has been discovered.");
    EXPECT_EQ(engine_->Subscribe(svc_, ""), 601);
    EXPECT_EQ(gauge_->Count(SimOp::Any), 0);
}

TEST_F(Subscriptions, TheFirstFailureEndsTheCallAndRaisesNoEvent)
{
    gauge_->InjectFault({SimOp::WriteCccd, 6, platform::GattStatus::ProtocolError, 0xFD, 1});
    EXPECT_EQ(engine_->Unsubscribe(svc_, ""), 953);
    EXPECT_EQ(engine_->LastError(), "Protocol error returned during communication: [253] {253}. Client "
                                    "characteristic configuration descriptor (CCCD) improperly configured.");
    EXPECT_EQ(gauge_->Count(SimOp::WriteCccd), 2);
    EXPECT_EQ(events_.Without("Discovered("), (Events{"Unsubscribed(000100000000,000100030000,0000FFE1-0000-1000-8000-00805F9B34FB,)"}));
    // The failed characteristic has no state yet: the next call tries again.
    events_.Clear();
    ASSERT_EQ(engine_->Subscribe(svc_, both_), 0);
    EXPECT_EQ(events_.CountPrefix("Subscribed("), 1);
    EXPECT_EQ(gauge_->Count(SimOp::DiscoverDescriptors, 6), 2) << "0x2900 and the CCCD, each once";
}

TEST_F(Subscriptions, SubscriptionsNeedAConnection)
{
    gauge_->DropLink();
    ASSERT_TRUE(PumpUntil([&] { return events_.CountPrefix("Disconnected(0,Offline)") > 0; }));
    EXPECT_EQ(engine_->Subscribe(svc_, notify_), 605);
    EXPECT_EQ(engine_->Unsubscribe("", ""), 605);
    EXPECT_EQ(engine_->SetCharacteristicSubscribed(0, true), 605);
    bool subscribed = true;
    EXPECT_EQ(engine_->GetCharacteristicSubscribed(0, subscribed), 605);
    EXPECT_EQ(gauge_->Count(SimOp::WriteCccd) + gauge_->Count(SimOp::ReadCccd), 0);
}

TEST_F(Subscriptions, ANotificationOfAnUnknownStateLeavesItUnknown)
{
    // Subscribed behind the engine's back: the state is not guessed.
    gauge_->SetCccd(3, 1);
    gauge_->Notify(3, {0x42});
    ASSERT_TRUE(PumpUntil([&] { return !events_.events.empty(); }));
    EXPECT_EQ(events_.events,
              (Events{"Value(000100000000,000100030000,,0000FFE1-0000-1000-8000-00805F9B34FB,,42)"}));
    bool subscribed = false;
    ASSERT_EQ(engine_->GetCharacteristicSubscribed(0, subscribed), 0);
    EXPECT_TRUE(subscribed);
    EXPECT_EQ(gauge_->Count(SimOp::ReadCccd), 1);
}

TEST_F(Subscriptions, ANotificationMarksAKnownStateSubscribed)
{
    ASSERT_EQ(engine_->Unsubscribe(svc_, notify_), 0);
    gauge_->SetCccd(3, 1);  // the server turned it back on by itself
    gauge_->Notify(3, {0x07});
    ASSERT_TRUE(PumpUntil([&] { return events_.CountPrefix("Value(") > 0; }));
    bool subscribed = false;
    ASSERT_EQ(engine_->GetCharacteristicSubscribed(0, subscribed), 0);
    EXPECT_TRUE(subscribed);
    EXPECT_EQ(gauge_->Count(SimOp::ReadCccd), 0);
}

TEST_F(Subscriptions, ReadingAClearedCccdReportsTheUnsubscription)
{
    Config("LogLevel=2");
    ASSERT_EQ(engine_->Subscribe(svc_, notify_), 0);
    gauge_->SetCccd(3, 0);
    events_.Clear();
    std::string value;
    ASSERT_EQ(engine_->ReadValue(svc_, notify_, Id(1, 3, 4), value), 0);
    EXPECT_EQ(events_.Without("Value("),
              (Events{"Unsubscribed(000100000000,000100030000,0000FFE1-0000-1000-8000-00805F9B34FB,)"}));
    EXPECT_TRUE(events_.HasLog("2|Subscriptions|Discovered that we are unsubscribed from characteristic ID "
                               "\"000100030000\"."));
}

}  // namespace
}  // namespace vornik::test
