// Connect, Disconnect and the device handlers on the simulated radio.
#include "sim_fixture.h"

namespace vornik::test {
namespace {

using sim::SimOp;
using Events = std::vector<std::string>;

class Connection : public EngineOnSim {
protected:
    Connection()
    {
        const std::uint16_t battery = gauge_->AddService(Uuid::FromShort(0x180F));
        gauge_->AddCharacteristic(battery, Uuid::FromShort(0x2A19), platform::prop::kRead, {0x64});
        Config("LogLevel=3");
    }

    // Events without the advertisements a running scan keeps raising.
    Events NonAdvertisementEvents() const
    {
        Events out;
        for (const std::string& event : events_.events)
            if (event.rfind("Advertisement(", 0) != 0)
                out.push_back(event);
        return out;
    }
};

TEST_F(Connection, EmptyIdSucceedsAndChangesNothing)
{
    EXPECT_EQ(engine_->Connect(""), 0);
    EXPECT_EQ(engine_->Connect("   "), 0);
    EXPECT_TRUE(events_.events.empty());
    EXPECT_EQ(radio_->Count(SimOp::DeviceFromAddress), 0);
    std::string id;
    engine_->GetServerId(id);
    EXPECT_EQ(id, "");
}

TEST_F(Connection, ConnectRaisesConnectedOkWithItsLogLine)
{
    ConnectGauge();
    EXPECT_EQ(events_.events, (Events{"Connected(0,OK)"}));
    EXPECT_TRUE(events_.HasLog("1|Connection|Successfully connected to server ID A4C138F0B27D."));
    std::string id, name;
    engine_->GetServerId(id);
    engine_->GetServerName(name);
    EXPECT_EQ(id, "A4C138F0B27D");
    EXPECT_EQ(name, "QN-Sim");
    // The device object and the link; no GATT request yet.
    EXPECT_EQ(gauge_->Count(SimOp::Any), 2);
    EXPECT_EQ(gauge_->Count(SimOp::DeviceFromAddress), 1);
    EXPECT_EQ(gauge_->Count(SimOp::Connect), 1);
}

// A device object is no connection: when the link does not come up, the
// call fails 604 with Connected(604), holds nothing, and the link request
// it made is closed again.
struct LinkFailureCase {
    const char* name;
    platform::GattStatus status;
    bool outOfRange;
};

class ConnectLink : public Connection, public testing::WithParamInterface<LinkFailureCase> {};

TEST_P(ConnectLink, AFailedLinkFails604AndHoldsNothing)
{
    if (GetParam().outOfRange)
        gauge_->DropLink();
    else
        gauge_->InjectFault({SimOp::Connect, 0, GetParam().status, 0x0E, 1});
    const std::string text = "Connection to server ID A4C138F0B27D was unsuccessful.";
    EXPECT_EQ(engine_->Connect(kGaugeId), 604);
    EXPECT_EQ(engine_->LastError(), text);
    EXPECT_EQ(events_.events, (Events{"Connected(604," + text + ")"}));
    EXPECT_FALSE(events_.HasLog("1|Connection|Successfully connected to server ID A4C138F0B27D."));
    std::string id = "stale";
    engine_->GetServerId(id);
    EXPECT_EQ(id, "");
    EXPECT_EQ(engine_->DiscoverServices("", ""), 605);
    EXPECT_EQ(gauge_->Count(SimOp::Connect), 1);
    EXPECT_EQ(gauge_->Count(SimOp::DiscoverServices), 0);
    // The next attempt on a link that answers connects.
    gauge_->RestoreLink();
    events_.Clear();
    EXPECT_EQ(engine_->Connect(kGaugeId), 0);
    EXPECT_EQ(events_.events, (Events{"Connected(0,OK)"}));
}

INSTANTIATE_TEST_SUITE_P(Failures, ConnectLink,
                         testing::Values(LinkFailureCase{"OutOfRange", platform::GattStatus::Unreachable, true},
                                         LinkFailureCase{"Unreachable", platform::GattStatus::Unreachable, false},
                                         LinkFailureCase{"Refused", platform::GattStatus::ProtocolError, false},
                                         LinkFailureCase{"Denied", platform::GattStatus::AccessDenied, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Connected(0) comes after the link, not with the device object: a link
// slower than the timeout fails 301 and raises nothing.
TEST_F(Connection, ALinkPastTheTimeoutFails301WithoutAnEvent)
{
    ASSERT_EQ(engine_->SetTimeout(1), 0);
    gauge_->SetLatency(SimOp::Connect, std::chrono::milliseconds(1500));
    EXPECT_EQ(engine_->Connect(kGaugeId), 301);
    EXPECT_EQ(engine_->LastError(), "Timeout.");
    EXPECT_TRUE(events_.events.empty());
    std::string id = "stale";
    engine_->GetServerId(id);
    EXPECT_EQ(id, "");
}

// Disconnect and every release close the link they opened.
TEST_F(Connection, DisconnectClosesTheLink)
{
    ConnectGauge();
    EXPECT_EQ(engine_->Disconnect(), 0);
    EXPECT_EQ(gauge_->Count(SimOp::Disconnect), 1);
    ConnectGauge();
    ConnectGauge();  // the same server: nothing to do
    EXPECT_EQ(gauge_->Count(SimOp::Connect), 2);
    EXPECT_EQ(gauge_->Count(SimOp::Disconnect), 1);
}

TEST_F(Connection, ConnectingToTheConnectedOnlineServerDoesNothing)
{
    ConnectGauge();
    events_.Clear();
    EXPECT_EQ(engine_->Connect(" a4c138f0b27d "), 0);
    EXPECT_TRUE(events_.events.empty());
    EXPECT_EQ(radio_->Count(SimOp::DeviceFromAddress), 1);
}

TEST_F(Connection, UnknownAddressFailsWith604AndRaisesConnected604)
{
    const std::string text = "Connection to server ID 001122334455 was unsuccessful.";
    EXPECT_EQ(engine_->Connect("001122334455"), 604);
    EXPECT_EQ(engine_->LastError(), text);
    EXPECT_EQ(events_.events, (Events{"Connected(604," + text + ")"}));
    EXPECT_TRUE(events_.HasLog("1|Connection|" + text));
    EXPECT_EQ(radio_->Count(SimOp::DeviceFromAddress), 1);
}

TEST_F(Connection, ADeviceRequestPastTheTimeoutFails301WithoutAnEvent)
{
    ASSERT_EQ(engine_->SetTimeout(1), 0);
    gauge_->SetLatency(SimOp::DeviceFromAddress, std::chrono::milliseconds(1500));
    EXPECT_EQ(engine_->Connect(kGaugeId), 301);
    EXPECT_EQ(engine_->LastError(), "Timeout.");
    EXPECT_TRUE(events_.events.empty());
    std::string id = "stale";
    engine_->GetServerId(id);
    EXPECT_EQ(id, "");
}

// A malformed Id fails before anything is touched: the held connection and
// the running scan go on, and no Connected event claims a failed attempt.
TEST_F(Connection, MalformedAddressFailsWith604AndLeavesConnectionAndScan)
{
    ConnectGauge();
    ASSERT_EQ(engine_->StartScanning(""), 0);
    for (const char* bad : {"A4C138F0B27", "A4C138F0B27D0", "A4C138F0B2XZ", "A4C138F0B2 D", "-4C138F0B27D"}) {
        events_.Clear();
        EXPECT_EQ(engine_->Connect(bad), 604) << bad;
        EXPECT_EQ(engine_->LastError(), std::string("Connection to server ID ") + bad + " was unsuccessful.");
        EXPECT_TRUE(events_.HasLog(std::string("1|Connection|Connection to server ID ") + bad + " was unsuccessful."));
        EXPECT_EQ(NonAdvertisementEvents(), Events{}) << bad;
        bool scanning = false;
        engine_->GetScanning(scanning);
        EXPECT_TRUE(scanning) << bad;
        std::string id;
        engine_->GetServerId(id);
        EXPECT_EQ(id, kGaugeId) << bad;
        EXPECT_EQ(engine_->DiscoverServices("", ""), 0) << bad;
    }
    EXPECT_EQ(radio_->Count(SimOp::DeviceFromAddress), 1);
}

TEST_F(Connection, ConnectWhileScanningStopsTheScanFirst)
{
    ASSERT_EQ(engine_->StartScanning(""), 0);
    ConnectGauge();
    EXPECT_EQ(NonAdvertisementEvents(), (Events{"StartScan()", "StopScan(0,)", "Connected(0,OK)"}));
    bool scanning = true;
    engine_->GetScanning(scanning);
    EXPECT_FALSE(scanning);
}

TEST_F(Connection, ConnectToAnotherServerDisconnectsTheHeldOneFirst)
{
    radio_->AddPeripheral(0x112233445566ull, "Other");
    ConnectGauge();
    ASSERT_EQ(engine_->DiscoverServices("", ""), 0);
    events_.Clear();
    ASSERT_EQ(engine_->Connect("112233445566"), 0);
    EXPECT_EQ(events_.events, (Events{"Disconnected(0,OK)", "Connected(0,OK)"}));
    EXPECT_TRUE(events_.HasLog("1|Connection|Disconnecting from server ID A4C138F0B27D."));
    EXPECT_TRUE(events_.HasLog("1|Connection|Disconnected from server ID A4C138F0B27D."));
    short services = -1;
    engine_->GetServiceCount(services);
    EXPECT_EQ(services, 0);
}

TEST_F(Connection, DisconnectClearsTheModelAndLaterCallsNeedAConnection)
{
    ConnectGauge();
    ASSERT_EQ(engine_->Discover("", "", true, ""), 0);
    events_.Clear();
    EXPECT_EQ(engine_->Disconnect(), 0);
    EXPECT_EQ(events_.events, (Events{"Disconnected(0,OK)"}));
    short services = -1, characteristics = -1, descriptors = -1;
    engine_->GetServiceCount(services);
    engine_->GetCharacteristicCount(characteristics);
    engine_->GetDescriptorCount(descriptors);
    EXPECT_EQ(services, 0);
    EXPECT_EQ(characteristics, 0);
    EXPECT_EQ(descriptors, 0);

    events_.Clear();
    EXPECT_EQ(engine_->Disconnect(), 0);
    EXPECT_TRUE(events_.events.empty());
    EXPECT_EQ(engine_->DiscoverServices("", ""), 605);
    EXPECT_EQ(engine_->LastError(), "You must be connected to a server to perform the requested action.");
}

TEST_F(Connection, LinkLossGives605UntilTheLinkComesBack)
{
    ConnectGauge();
    ASSERT_EQ(engine_->DiscoverServices("", ""), 0);
    ASSERT_EQ(engine_->DiscoverCharacteristics(Id(1), ""), 0);
    events_.Clear();
    const int requests = gauge_->Count(SimOp::Any);

    gauge_->DropLink();
    ASSERT_TRUE(PumpUntil([&] { return events_.CountPrefix("Disconnected(") > 0; }));
    EXPECT_EQ(events_.events, (Events{"Disconnected(0,Offline)"}));
    EXPECT_TRUE(events_.HasLog("3|Debug|System updated device connection status to \"Disconnected\"."));
    std::string value;
    EXPECT_EQ(engine_->DiscoverServices("", ""), 605);
    EXPECT_EQ(engine_->ReadValue(Id(1), Id(1, 3), "", value), 605);
    EXPECT_EQ(gauge_->Count(SimOp::Any), requests);
    short services = 0;
    engine_->GetServiceCount(services);
    EXPECT_EQ(services, 1) << "a link loss keeps the model";

    gauge_->RestoreLink();
    ASSERT_TRUE(PumpUntil([&] { return events_.CountPrefix("Connected(") > 0; }));
    EXPECT_EQ(events_.events, (Events{"Disconnected(0,Offline)", "Connected(0,Online)"}));
    EXPECT_EQ(engine_->ReadValue(Id(1), Id(1, 3), "", value), 0);
    EXPECT_EQ(value, Bytes({0x64}));
}

TEST_F(Connection, ConnectAfterLinkLossReconnectsWithAFreshModel)
{
    ConnectGauge();
    ASSERT_EQ(engine_->DiscoverServices("", ""), 0);
    gauge_->DropLink();
    ASSERT_TRUE(PumpUntil([&] { return events_.CountPrefix("Disconnected(0,Offline)") > 0; }));
    gauge_->RestoreLink();
    events_.Clear();
    ConnectGauge();
    EXPECT_EQ(events_.events[0], "Disconnected(0,OK)");
    EXPECT_EQ(events_.events[1], "Connected(0,OK)");
    EXPECT_EQ(radio_->Count(SimOp::DeviceFromAddress), 2);
    short services = -1;
    engine_->GetServiceCount(services);
    EXPECT_EQ(services, 0);
}

TEST_F(Connection, NameAndServiceChangesRaiseServerUpdate)
{
    ConnectGauge();
    events_.Clear();
    gauge_->SetName("QN-Renamed");
    ASSERT_TRUE(PumpUntil([&] { return !events_.events.empty(); }));
    EXPECT_EQ(events_.events, (Events{"ServerUpdate(QN-Renamed,)"}));
    EXPECT_TRUE(events_.HasLog("2|Verbose|Server's name has changed to QN-Renamed."));
    std::string name;
    engine_->GetServerName(name);
    EXPECT_EQ(name, "QN-Renamed");

    events_.Clear();
    gauge_->ChangeServices("Battery");
    ASSERT_TRUE(PumpUntil([&] { return !events_.events.empty(); }));
    EXPECT_EQ(events_.events, (Events{"ServerUpdate(,Battery)"}));
    EXPECT_TRUE(events_.HasLog("2|Verbose|Server's services have changed."));
}

TEST_F(Connection, HandlersOfAReleasedDeviceRaiseNothing)
{
    ConnectGauge();
    ASSERT_EQ(engine_->Disconnect(), 0);
    events_.Clear();
    gauge_->SetName("Gone");
    gauge_->DropLink();
    engine_->DoEvents();
    engine_->DoEvents();
    EXPECT_TRUE(events_.events.empty());
}

}  // namespace
}  // namespace vornik::test
