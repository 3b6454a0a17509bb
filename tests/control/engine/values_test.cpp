// Reading, writing and posting values, cached reads and received values.
#include "sim_fixture.h"

namespace vornik::test {
namespace {

using sim::SimOp;
using Events = std::vector<std::string>;
namespace prop = platform::prop;

const std::string kCommandUuid = "0000FFE1-0000-1000-8000-00805F9B34FB";
const std::string kCccdUuid = "00002902-0000-1000-8000-00805F9B34FB";

// Service 0xFFE0 at 1: command 0xFFE1 (2/3, CCCD 4) read, write, write
// without response, notify; status 0xFFE2 (5/6) read only.
class Values : public EngineOnSim {
protected:
    Values()
    {
        const std::uint16_t service = gauge_->AddService(Uuid::FromShort(0xFFE0));
        gauge_->AddCharacteristic(service, Uuid::FromShort(0xFFE1),
                                  prop::kRead | prop::kWrite | prop::kWriteWithoutResponse | prop::kNotify,
                                  {'o', 'k', 0x00, 0xFF});
        gauge_->AddCharacteristic(service, Uuid::FromShort(0xFFE2), prop::kRead, {0x01});
        ConnectGauge();
        Config("IncludeRediscovered=False");
        EXPECT_EQ(engine_->Discover("", "", true, ""), 0);
        events_.Clear();
        gauge_->ResetCounters();
    }

    const std::string svc_ = Id(1);
    const std::string command_ = Id(1, 3);
    const std::string status_ = Id(1, 6);
    const std::string cccd_ = Id(1, 3, 4);
};

TEST_F(Values, ReadValueRaisesValueThenReturnsTheSameBytes)
{
    Config("LogLevel=1");
    std::string value;
    ASSERT_EQ(engine_->ReadValue(svc_, command_, "", value), 0);
    EXPECT_EQ(value, Bytes({'o', 'k', 0x00, 0xFF}));
    EXPECT_EQ(events_.events, (Events{"Value(000100000000,000100030000,," + kCommandUuid + ",,6F 6B 00 FF)"}));
    EXPECT_EQ(events_.logs, (Events{"1|Read|Reading value for characteristic ID \"000100030000\".",
                                    "1|Read|BLE Result Status: Success (Protocol Code: 0).",
                                    "1|Read|Successfully read value for characteristic ID \"000100030000\"."}));
    EXPECT_EQ(gauge_->Count(SimOp::ReadValue, 3), 1);
}

TEST_F(Values, ReadValueOfADescriptorNamesItInTheEvent)
{
    std::string value;
    ASSERT_EQ(engine_->ReadValue(svc_, command_, cccd_, value), 0);
    EXPECT_EQ(value, Bytes({0, 0}));
    EXPECT_EQ(events_.events, (Events{"Value(000100000000,000100030000,000100030004," + kCccdUuid +
                                      ",Client Characteristic Configuration,00 00)"}));
    EXPECT_EQ(gauge_->Count(SimOp::ReadDescriptor, 4), 1);
}

struct IdCase {
    std::string service;
    std::string characteristic;
    std::string descriptor;
    int code;
    std::string text;
};

class ValueIds : public Values, public testing::WithParamInterface<IdCase> {};

TEST_P(ValueIds, AreCheckedBeforeAnyRequest)
{
    const IdCase& c = GetParam();
    std::string value = "stale";
    EXPECT_EQ(engine_->ReadValue(c.service, c.characteristic, c.descriptor, value), c.code);
    EXPECT_EQ(engine_->LastError(), c.text);
    EXPECT_EQ(value, "");
    EXPECT_EQ(engine_->WriteValue(c.service, c.characteristic, c.descriptor, "x"), c.code);
    EXPECT_EQ(engine_->LastError(), c.text);
    EXPECT_EQ(gauge_->Count(SimOp::Any), 0);
    EXPECT_TRUE(events_.events.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ValueIds,
    testing::Values(IdCase{"", "000100030000", "", 202, "Must supply a service ID."},
                    IdCase{"000100000000", "", "", 202, "Must supply a characteristic ID."},
                    IdCase{"000900000000", "000900030000", "", 601,
                           "No service with the ID \"000900000000\" has been discovered."},
                    IdCase{"000100000000", "000100090000", "", 601,
                           "No characteristic with the ID \"000100090000\" has been discovered for the service with "
                           "ID \"000100000000\"."},
                    IdCase{"000100000000", "000100030000", "000100030009", 601,
                           "No descriptor with the ID \"000100030009\" has been discovered for the characteristic "
                           "with ID \"000100030000\"."}));

TEST_F(Values, PostValueRaisesNoWriteResponseWriteValueRaisesOne)
{
    ASSERT_EQ(engine_->PostValue(svc_, command_, "$quen00!"), 0);
    EXPECT_TRUE(events_.events.empty());
    ASSERT_EQ(engine_->WriteValue(svc_, command_, "", "$quen00!"), 0);
    EXPECT_EQ(events_.events, (Events{"WriteResponse(000100000000,000100030000,," + kCommandUuid + ",)"}));
    EXPECT_EQ(gauge_->Count(SimOp::WriteWithoutResponse, 3), 1);
    EXPECT_EQ(gauge_->Count(SimOp::WriteValue, 3), 1);
    EXPECT_EQ(gauge_->Value(3), platform::Bytes({'$', 'q', 'u', 'e', 'n', '0', '0', '!'}));
}

TEST_F(Values, WritesLogTheirSteps)
{
    Config("LogLevel=1");
    ASSERT_EQ(engine_->PostValue(svc_, command_, "a"), 0);
    ASSERT_EQ(engine_->WriteValue(svc_, command_, "", "b"), 0);
    EXPECT_EQ(events_.logs, (Events{"1|Write|Posting value to characteristic ID \"000100030000\".",
                                    "1|Write|BLE Result Status: Success (Protocol Code: 0).",
                                    "1|Write|Successfully posted value to characteristic ID \"000100030000\".",
                                    "1|Write|Writing value to characteristic ID \"000100030000\".",
                                    "1|Write|BLE Result Status: Success (Protocol Code: 0).",
                                    "1|Write|Successfully wrote value to characteristic ID \"000100030000\"."}));
}

TEST_F(Values, AWriteRefusedWithAtt03Fails703WithoutAnEvent)
{
    EXPECT_EQ(engine_->WriteValue(svc_, status_, "", "x"), 703);
    EXPECT_EQ(engine_->LastError(), "Protocol error returned during communication: [3] {3}. Write not permitted.");
    EXPECT_TRUE(events_.events.empty());
    EXPECT_EQ(gauge_->Count(SimOp::WriteValue, 6), 1);
}

TEST_F(Values, FailingRequestsRaiseNoEvent)
{
    gauge_->InjectFault({SimOp::ReadValue, 3, platform::GattStatus::ProtocolError, 0x02, 1});
    std::string value;
    EXPECT_EQ(engine_->ReadValue(svc_, command_, "", value), 702);
    EXPECT_EQ(engine_->LastError(), "Protocol error returned during communication: [2] {2}. Read not permitted.");
    gauge_->InjectFault({SimOp::WriteDescriptor, 4, platform::GattStatus::AccessDenied, 0, 1});
    EXPECT_EQ(engine_->WriteValue(svc_, command_, cccd_, Bytes({1, 0})), 606);
    EXPECT_TRUE(events_.events.empty());
}

TEST_F(Values, WritingTheCccdSubscribesAndAFollowingSubscribeSendsNothing)
{
    Config("LogLevel=1");
    ASSERT_EQ(engine_->WriteValue(svc_, command_, cccd_, Bytes({1, 0})), 0);
    EXPECT_EQ(events_.events,
              (Events{"WriteResponse(000100000000,000100030000,000100030004," + kCccdUuid +
                          ",Client Characteristic Configuration)",
                      "Subscribed(000100000000,000100030000," + kCommandUuid + ",)"}));
    EXPECT_TRUE(events_.HasLog("1|Subscriptions|Successfully subscribed to characteristic ID \"000100030000\"."));
    EXPECT_EQ(gauge_->Cccd(3), 1);
    events_.Clear();
    ASSERT_EQ(engine_->Subscribe(svc_, command_), 0);
    EXPECT_TRUE(events_.events.empty());
    EXPECT_EQ(gauge_->Count(SimOp::WriteCccd), 0);
}

TEST_F(Values, ReadingTheCccdRecordsWhatTheServerHolds)
{
    Config("LogLevel=2");
    gauge_->SetCccd(3, 1);
    std::string value;
    ASSERT_EQ(engine_->ReadValue(svc_, command_, cccd_, value), 0);
    EXPECT_EQ(events_.CountPrefix("Value("), 1);
    EXPECT_EQ(events_.events.back(), "Subscribed(000100000000,000100030000," + kCommandUuid + ",)");
    EXPECT_TRUE(events_.HasLog("2|Subscriptions|Discovered that we are subscribed to characteristic ID "
                               "\"000100030000\"."));
    bool subscribed = false;
    ASSERT_EQ(engine_->Select(svc_, ""), 0);
    ASSERT_EQ(engine_->GetCharacteristicSubscribed(0, subscribed), 0);
    EXPECT_TRUE(subscribed);
    EXPECT_EQ(gauge_->Count(SimOp::ReadCccd), 0);

    // Reading the same state again is no news.
    events_.Clear();
    ASSERT_EQ(engine_->ReadValue(svc_, command_, cccd_, value), 0);
    EXPECT_EQ(events_.events.size(), 1u);
}

TEST_F(Values, CachedReadsAskThePlatformCacheOnly)
{
    ASSERT_EQ(engine_->Select(svc_, command_), 0);
    std::string value;
    ASSERT_EQ(engine_->QueryCharacteristicCachedVal(0, value), 0);
    EXPECT_EQ(value, Bytes({'o', 'k', 0x00, 0xFF}));
    ASSERT_EQ(engine_->GetCharacteristicCachedValue(1, value), 0);
    EXPECT_EQ(value, Bytes({0x01}));
    ASSERT_EQ(engine_->QueryDescriptorCachedVal(0, value), 0);
    EXPECT_EQ(value, Bytes({0, 0}));
    EXPECT_EQ(gauge_->Count(SimOp::ReadCachedValue), 3);
    EXPECT_EQ(gauge_->Count(SimOp::ReadValue) + gauge_->Count(SimOp::ReadDescriptor), 0);
    EXPECT_TRUE(events_.events.empty());

    EXPECT_EQ(engine_->QueryCharacteristicCachedVal(2, value), 432);
    EXPECT_EQ(engine_->LastError(), "Invalid CharacteristicIndex (out of bounds).");
    EXPECT_EQ(engine_->QueryDescriptorCachedVal(1, value), 432);
}

TEST_F(Values, CachedReadsLogWithoutASuccessLine)
{
    Config("LogLevel=3");
    ASSERT_EQ(engine_->Select(svc_, command_), 0);
    std::string value;
    ASSERT_EQ(engine_->QueryCharacteristicCachedVal(0, value), 0);
    EXPECT_EQ(events_.logs, (Events{"3|Debug|Getting cached value for characteristic ID \"000100030000\".",
                                    "1|Debug|BLE Result Status: Success (Protocol Code: 0)."}));
}

TEST_F(Values, ANotificationArrivesAsValueWithItsBytesInValueValueB)
{
    ASSERT_EQ(engine_->Subscribe(svc_, command_), 0);
    events_.Clear();
    std::string during;
    events_.onValue = [&](const std::string&) { engine_->GetValueValueB(during); };
    gauge_->Notify(3, {'1', '2', 0x00, 0x80});
    ASSERT_TRUE(PumpUntil([&] { return !events_.events.empty(); }));
    EXPECT_EQ(events_.events, (Events{"Value(000100000000,000100030000,," + kCommandUuid + ",,31 32 00 80)"}));
    EXPECT_EQ(during, Bytes({'1', '2', 0x00, 0x80}));
    std::string after = "stale";
    engine_->GetValueValueB(after);
    EXPECT_EQ(after, "");
}

// The answer of a read is the read's own Value event, never a second one
// through the notification path; a cached read raises none.
TEST_F(Values, AReadIsNotRaisedAsANotification)
{
    ASSERT_EQ(engine_->Subscribe(svc_, command_), 0);
    events_.Clear();
    std::string value;
    ASSERT_EQ(engine_->ReadValue(svc_, command_, "", value), 0);
    ASSERT_EQ(engine_->Select(svc_, command_), 0);
    ASSERT_EQ(engine_->QueryCharacteristicCachedVal(0, value), 0);
    EXPECT_EQ(value, Bytes({'o', 'k', 0x00, 0xFF}));
    engine_->DoEvents();
    EXPECT_EQ(events_.events, (Events{"Value(000100000000,000100030000,," + kCommandUuid + ",,6F 6B 00 FF)"}));
}

TEST_F(Values, ValuesNeedAConnection)
{
    ASSERT_EQ(engine_->Disconnect(), 0);
    std::string value;
    EXPECT_EQ(engine_->ReadValue(svc_, command_, "", value), 605);
    EXPECT_EQ(engine_->WriteValue(svc_, command_, "", "x"), 605);
    EXPECT_EQ(engine_->PostValue(svc_, command_, "x"), 605);
    EXPECT_EQ(engine_->LastError(), "You must be connected to a server to perform the requested action.");
}

}  // namespace
}  // namespace vornik::test
