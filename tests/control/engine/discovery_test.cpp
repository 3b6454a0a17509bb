// Discovery of services, included services, characteristics and descriptors.
#include "sim_fixture.h"

namespace vornik::test {
namespace {

using sim::SimOp;
using Events = std::vector<std::string>;

const std::string kDeviceInformation = "0000180A-0000-1000-8000-00805F9B34FB";
const std::string kBattery = "0000180F-0000-1000-8000-00805F9B34FB";
const std::string kBatteryLevel = "00002A19-0000-1000-8000-00805F9B34FB";
const std::string kCccd = "00002902-0000-1000-8000-00805F9B34FB";

// Device Information at handle 1 (Manufacturer Name 2/3), Battery at 4
// (Battery Level 5/6, its CCCD 7).
class Discovery : public EngineOnSim {
protected:
    Discovery()
    {
        info_ = gauge_->AddService(Uuid::FromShort(0x180A));
        gauge_->AddCharacteristic(info_, Uuid::FromShort(0x2A29), platform::prop::kRead, {'Q'});
        battery_ = gauge_->AddService(Uuid::FromShort(0x180F));
        level_ = gauge_->AddCharacteristic(battery_, Uuid::FromShort(0x2A19),
                                           platform::prop::kRead | platform::prop::kNotify, {0x64});
        ConnectGauge();
        events_.Clear();
    }

    std::uint16_t info_ = 0;
    std::uint16_t battery_ = 0;
    std::uint16_t level_ = 0;
};

const std::string kInfoEvent = "Discovered(0,000100000000,,," + kDeviceInformation + ",Device Information)";
const std::string kBatteryEvent = "Discovered(0,000400000000,,," + kBattery + ",Battery Service)";

TEST_F(Discovery, RootServicesRaiseDiscoveredInServerOrder)
{
    Config("LogLevel=3");
    ASSERT_EQ(engine_->DiscoverServices("", ""), 0);
    EXPECT_EQ(events_.events, (Events{kInfoEvent, kBatteryEvent}));
    EXPECT_EQ(gauge_->Count(SimOp::DiscoverServices), 1);
    for (const char* line : {"1|Discovery|Beginning discovery of root services.",
                             "2|Discovery|Attempting to discover all root services.",
                             "1|Discovery|BLE Result Status: Success (Protocol Code: 0).",
                             "1|Discovery|Finished discovering root services.", "2|Discovery|Discovered 2 root services."})
        EXPECT_TRUE(events_.HasLog(line)) << line;
}

TEST_F(Discovery, RootServicesPerUuidMakeOneRequestEach)
{
    Config("LogLevel=3");
    ASSERT_EQ(engine_->DiscoverServices("180f, 0x180A", ""), 0);
    EXPECT_EQ(events_.events, (Events{kBatteryEvent, kInfoEvent}));
    EXPECT_EQ(gauge_->Count(SimOp::DiscoverServices), 2);
    EXPECT_TRUE(events_.HasLog("2|Discovery|Attempting to discover root services with UUID \"" + kBattery + "\"."));
    EXPECT_TRUE(events_.HasLog("3|Discovery|Discovered 1 root services with UUID \"" + kBattery + "\"."));
}

TEST_F(Discovery, BadUuidFailsWith600BeforeAnyRequest)
{
    EXPECT_EQ(engine_->DiscoverServices("12345", ""), 600);
    EXPECT_EQ(engine_->LastError(), "UUIDs hexadecimal strings must represent either 16-, 32-, or 128-bit values.");
    EXPECT_EQ(gauge_->Count(SimOp::DiscoverServices), 0);
}

struct RediscoveryCase {
    const char* setting;
    Events secondRound;
};

class Rediscovery : public Discovery, public testing::WithParamInterface<RediscoveryCase> {};

TEST_P(Rediscovery, SecondRootDiscoveryFollowsIncludeRediscovered)
{
    Config(GetParam().setting);
    ASSERT_EQ(engine_->DiscoverServices("", ""), 0);
    EXPECT_EQ(events_.events, (Events{kInfoEvent, kBatteryEvent}));
    events_.Clear();
    ASSERT_EQ(engine_->DiscoverServices("", ""), 0);
    EXPECT_EQ(events_.events, GetParam().secondRound);
    EXPECT_EQ(gauge_->Count(SimOp::DiscoverServices), 2);
    short services = 0;
    engine_->GetServiceCount(services);
    EXPECT_EQ(services, 2);
}

INSTANTIATE_TEST_SUITE_P(Setting, Rediscovery,
                         testing::Values(RediscoveryCase{"IncludeRediscovered=False", {}},
                                         RediscoveryCase{"IncludeRediscovered=True", {kInfoEvent, kBatteryEvent}}));

TEST_F(Discovery, IncludeCycleEndsWith609AndItsChain)
{
    gauge_->IncludeService(info_, battery_);
    gauge_->IncludeService(battery_, info_);
    Config("AutoDiscoverIncludedServices=True");
    EXPECT_EQ(engine_->DiscoverServices("", ""), 609);
    EXPECT_EQ(engine_->LastError(),
              "A cycle of included services was detected: 000100000000 < 000100000000 < 000400000000");
    // Records added before the failure stay, linked both ways.
    std::string included, parents;
    engine_->GetServiceIncludedSvcIds(0, included);
    engine_->GetServiceParentSvcIds(0, parents);
    EXPECT_EQ(included, "000400000000");
    EXPECT_EQ(parents, "000400000000");
    EXPECT_EQ(gauge_->Count(SimOp::DiscoverIncludedServices), 2);
}

TEST_F(Discovery, AServiceIncludedOnTwoBranchesIsNoCycle)
{
    const std::uint16_t shared = gauge_->AddService(Uuid::FromShort(0x1805), false);
    gauge_->IncludeService(info_, shared);
    gauge_->IncludeService(battery_, shared);
    Config("AutoDiscoverIncludedServices=True");
    ASSERT_EQ(engine_->DiscoverServices("", ""), 0) << engine_->LastError();
    short services = 0;
    engine_->GetServiceCount(services);
    EXPECT_EQ(services, 3);
    std::string parents;
    engine_->GetServiceParentSvcIds(1, parents);
    EXPECT_EQ(parents, Id(info_) + "," + Id(battery_));
}

TEST_F(Discovery, IncludedServicesOfOneServiceAreLinkedToIt)
{
    const std::uint16_t secondary = gauge_->AddService(Uuid::FromShort(0x1805), false);
    gauge_->IncludeService(battery_, secondary);
    Config("LogLevel=3");
    ASSERT_EQ(engine_->DiscoverServices("", ""), 0);
    events_.Clear();
    ASSERT_EQ(engine_->DiscoverServices("", Id(battery_)), 0);
    EXPECT_EQ(events_.events, (Events{"Discovered(0," + Id(secondary) + ",,,00001805-0000-1000-8000-00805F9B34FB,"
                                                                        "Current Time Service)"}));
    EXPECT_TRUE(events_.HasLog("1|Discovery|Beginning discovery of services included by service ID \"000400000000\"."));
    EXPECT_TRUE(events_.HasLog("2|Discovery|Discovered 1 services included by service ID \"000400000000\"."));
    EXPECT_EQ(engine_->DiscoverServices("", "00FF00000000"), 601);
    EXPECT_EQ(engine_->LastError(), "No service with the ID \"00FF00000000\" has been discovered.");
}

TEST_F(Discovery, CharacteristicsAndDescriptorsRaiseDiscoveredWithTheirTypes)
{
    ASSERT_EQ(engine_->DiscoverServices("", ""), 0);
    events_.Clear();
    ASSERT_EQ(engine_->DiscoverCharacteristics(Id(battery_), ""), 0);
    ASSERT_EQ(engine_->DiscoverDescriptors(Id(battery_), Id(battery_, level_)), 0);
    EXPECT_EQ(events_.events,
              (Events{"Discovered(1,000400000000,000400060000,," + kBatteryLevel + ",Battery Level)",
                      "Discovered(2,000400000000,000400060000,000400060007," + kCccd +
                          ",Client Characteristic Configuration)"}));
    short characteristics = 0, descriptors = 0;
    engine_->GetCharacteristicCount(characteristics);
    engine_->GetDescriptorCount(descriptors);
    EXPECT_EQ(characteristics, 1);
    EXPECT_EQ(descriptors, 1);
}

TEST_F(Discovery, UnknownOrMissingIdsFail)
{
    ASSERT_EQ(engine_->DiscoverServices("", ""), 0);
    EXPECT_EQ(engine_->DiscoverCharacteristics("000900000000", ""), 601);
    EXPECT_EQ(engine_->DiscoverCharacteristics("", ""), 202);
    EXPECT_EQ(engine_->LastError(), "Must supply a service ID.");
    EXPECT_EQ(engine_->DiscoverDescriptors(Id(battery_), ""), 202);
    EXPECT_EQ(engine_->LastError(), "Must supply a characteristic ID.");
    EXPECT_EQ(engine_->DiscoverDescriptors(Id(battery_), "000400090000"), 601);
}

TEST_F(Discovery, DiscoverWithDescriptorsLeavesTheSettingAsItWas)
{
    ASSERT_EQ(engine_->Discover("", "", true, ""), 0);
    EXPECT_EQ(events_.CountPrefix("Discovered(2,"), 1);
    EXPECT_EQ(Query("AutoDiscoverDescriptors"), "False");

    // Also when the call fails half-way.
    gauge_->InjectFault({SimOp::DiscoverDescriptors, 0, platform::GattStatus::Unreachable, 0, 1});
    EXPECT_EQ(engine_->Discover("", "", true, ""), 607);
    EXPECT_EQ(engine_->LastError(), "Error attempting communication: Device unreachable.");
    EXPECT_EQ(Query("AutoDiscoverDescriptors"), "False");
}

TEST_F(Discovery, DiscoverFiltersCharacteristicsOfTheServicesFound)
{
    ASSERT_EQ(engine_->Discover("180F", "2A19", false, ""), 0);
    EXPECT_EQ(gauge_->Count(SimOp::DiscoverServices), 1);
    EXPECT_EQ(gauge_->Count(SimOp::DiscoverCharacteristics), 1);
    EXPECT_EQ(gauge_->Count(SimOp::DiscoverDescriptors), 0);
    EXPECT_EQ(events_.events.size(), 2u);
}

TEST_F(Discovery, AutoDiscoverCharacteristicsDiscoversThemWithEachService)
{
    Config("AutoDiscoverCharacteristics = true");
    ASSERT_EQ(engine_->Discover("", "2A19", false, ""), 0);
    // Unfiltered, once per service, during the service discovery.
    EXPECT_EQ(gauge_->Count(SimOp::DiscoverCharacteristics), 2);
    EXPECT_EQ(events_.CountPrefix("Discovered(1,"), 2);
}

TEST_F(Discovery, ResultStatusesMapToCodesWithTheirLogLine)
{
    struct Case {
        platform::GattStatus status;
        std::uint8_t att;
        int code;
        std::string log;
    };
    const std::vector<Case> cases = {
        {platform::GattStatus::ProtocolError, 0x0A, 710, "BLE Result Status: ProtocolError (Protocol Code: 10)."},
        {platform::GattStatus::Unreachable, 0, 607, "BLE Result Status: Unreachable (Protocol Code: 0)."},
        {platform::GattStatus::AccessDenied, 0, 606, "BLE Result Status: AccessDenied (Protocol Code: 0)."},
    };
    for (const Case& c : cases) {
        events_.Clear();
        gauge_->InjectFault({SimOp::DiscoverServices, 0, c.status, c.att, 1});
        EXPECT_EQ(engine_->DiscoverServices("", ""), c.code);
        EXPECT_TRUE(events_.HasLog("1|Discovery|" + c.log)) << c.log;
        EXPECT_TRUE(events_.events.empty());
    }
}

TEST_F(Discovery, ARequestPastTheTimeoutFailsWith301)
{
    ASSERT_EQ(engine_->SetTimeout(1), 0);
    gauge_->SetLatency(SimOp::DiscoverServices, std::chrono::milliseconds(1500));
    EXPECT_EQ(engine_->DiscoverServices("", ""), 301);
    EXPECT_EQ(engine_->LastError(), "Timeout.");
    EXPECT_TRUE(events_.events.empty());
}

TEST_F(Discovery, EnsuringADescriptorKindAsksOnceAndNotWhenItIsKnown)
{
    Config("LogLevel=3");
    ASSERT_EQ(engine_->Discover("180F", "", false, ""), 0);
    short flags = 0;
    ASSERT_EQ(engine_->GetCharacteristicFlags(0, flags), 0);
    ASSERT_EQ(engine_->GetCharacteristicFlags(0, flags), 0);
    EXPECT_EQ(flags, 0x0012);
    EXPECT_EQ(gauge_->Count(SimOp::DiscoverDescriptors, level_), 1);
    EXPECT_TRUE(events_.HasLog("3|Debug|Ensuring that any \"Characteristic Extended Properties\" descriptors has been "
                               "discovered for characteristic ID \"000400060000\"."));
    EXPECT_TRUE(events_.HasLog("3|Discovery|Trying to discover the \"Characteristic Extended Properties\" descriptor "
                               "for characteristic ID \"000400060000\"."));
    EXPECT_TRUE(events_.HasLog("3|Discovery|Finished; discovered 0 \"Characteristic Extended Properties\" descriptors "
                               "for characteristic ID \"000400060000\"."));

    // The CCCD is already in the list after a full descriptor discovery.
    ASSERT_EQ(engine_->DiscoverDescriptors(Id(battery_), Id(battery_, level_)), 0);
    ASSERT_EQ(engine_->Subscribe(Id(battery_), Id(battery_, level_)), 0);
    EXPECT_EQ(gauge_->Count(SimOp::DiscoverDescriptors, level_), 2);
}

TEST_F(Discovery, ADisconnectFromADiscoveredHandlerEndsTheDiscovery)
{
    events_.onDiscovered = [&](const std::string&) { engine_->Disconnect(); };
    EXPECT_EQ(engine_->DiscoverServices("", ""), 605);
    EXPECT_EQ(events_.events, (Events{kInfoEvent, "Disconnected(0,OK)"}));
    short services = -1;
    engine_->GetServiceCount(services);
    EXPECT_EQ(services, 0) << "nothing added to the model after the disconnect";
}

}  // namespace
}  // namespace vornik::test
