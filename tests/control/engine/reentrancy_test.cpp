// A host that calls back into the engine from its events and its pump hook:
// disconnecting in the middle of every kind of call, DoEvents from every
// Value event, links that drop during a wait, scans called off while they
// start.
#include <algorithm>
#include <atomic>
#include <thread>

#include "sim_fixture.h"

namespace vornik::test {
namespace {

using sim::SimOp;
using Events = std::vector<std::string>;
constexpr auto kNever = std::chrono::hours(1);
constexpr std::uint16_t kWritableAuxiliaries = 0x0002;  // extended properties bit

// Service 0xFFE0: value 0xFFE1 (read, write, notify; with its CCCD) and
// label 0xFFE2 (writable auxiliaries, writable user description).
class Reentrancy : public EngineOnSim {
protected:
    Reentrancy()
    {
        service_ = gauge_->AddService(Uuid::FromShort(0xFFE0));
        value_ = gauge_->AddCharacteristic(service_, Uuid::FromShort(0xFFE1),
                                           platform::prop::kRead | platform::prop::kWrite | platform::prop::kNotify,
                                           {0x01});
        label_ = gauge_->AddCharacteristic(service_, Uuid::FromShort(0xFFE2),
                                           platform::prop::kRead | platform::prop::kExtendedProperties);
        gauge_->AddExtendedProperties(label_, kWritableAuxiliaries);
        userDescription_ = gauge_->AddUserDescription(label_, "Probe", true);
    }

    ~Reentrancy() override { engine_->SetHostPump({}); }

    void ConnectAndDiscover(bool descriptors)
    {
        ConnectGauge();
        ASSERT_EQ(engine_->Discover("", "", descriptors, ""), 0) << engine_->LastError();
        events_.Clear();
        gauge_->ResetCounters();
    }

    // Disconnects once, from inside the Log event whose "level|type|message"
    // matches.
    void DisconnectInLog(const std::string& line)
    {
        events_.onLog = [this, line, armed = true](const std::string& log) mutable {
            if (armed && log == line) {
                armed = false;
                EXPECT_EQ(engine_->Disconnect(), 0);
            }
        };
    }

    // Runs `action` once, from the first round of the next wait.
    void InFirstPump(std::function<void()> action)
    {
        engine_->SetHostPump([action = std::move(action), armed = true]() mutable {
            if (armed) {
                armed = false;
                action();
            }
        });
    }

    // The events after Disconnected(0,OK), without Log lines.
    Events EventsAfterDisconnect() const
    {
        const auto at = std::find(events_.events.begin(), events_.events.end(), "Disconnected(0,OK)");
        if (at == events_.events.end())
            return {"(no Disconnected)"};
        return {at + 1, events_.events.end()};
    }

    std::string ServiceId() const { return Id(service_); }
    std::string ValueId() const { return Id(service_, value_); }

    std::uint16_t service_ = 0;
    std::uint16_t value_ = 0;
    std::uint16_t label_ = 0;
    std::uint16_t userDescription_ = 0;
};

TEST_F(Reentrancy, DisconnectFromTheLogEventOfDisconnect)
{
    ConnectGauge();
    DisconnectInLog("1|Connection|Disconnecting from server ID A4C138F0B27D.");
    EXPECT_EQ(engine_->Disconnect(), 0);
    EXPECT_EQ(events_.Without("Connected("), (Events{"Disconnected(0,OK)"}));
    std::string id = "stale";
    engine_->GetServerId(id);
    EXPECT_EQ(id, "");
    EXPECT_EQ(engine_->DiscoverServices("", ""), 605);
    ConnectGauge();  // the engine is whole: a new connection works
    EXPECT_EQ(engine_->DiscoverServices("", ""), 0);
}

TEST_F(Reentrancy, ConnectFromTheLogEventOfDisconnectKeepsTheNewConnection)
{
    ConnectGauge();
    events_.onLog = [this, armed = true](const std::string& log) mutable {
        if (armed && log == "1|Connection|Disconnecting from server ID A4C138F0B27D.") {
            armed = false;
            EXPECT_EQ(engine_->Disconnect(), 0);
            EXPECT_EQ(engine_->Connect(kGaugeId), 0);
        }
    };
    EXPECT_EQ(engine_->Disconnect(), 0);
    EXPECT_EQ(engine_->DiscoverServices("", ""), 0) << engine_->LastError();
}

// The first Log event of a discovery, at the default log level.
TEST_F(Reentrancy, DisconnectFromTheFirstLogOfADiscoveryFails605)
{
    ConnectGauge();
    events_.Clear();
    DisconnectInLog("1|Discovery|Beginning discovery of root services.");
    EXPECT_EQ(engine_->DiscoverServices("", ""), 605);
    EXPECT_EQ(engine_->LastError(), "You must be connected to a server to perform the requested action.");
    EXPECT_EQ(EventsAfterDisconnect(), Events{});
    EXPECT_EQ(gauge_->Count(SimOp::DiscoverServices), 0);
}

// Every log line of a full discovery in turn: the call ends with 605 (or
// success when nothing was left to do), and nothing is discovered after
// the host disconnected.
TEST_F(Reentrancy, DisconnectFromEveryLogLineOfADiscovery)
{
    Config("LogLevel=3");
    ConnectGauge();
    events_.Clear();
    ASSERT_EQ(engine_->Discover("", "", true, ""), 0);
    const std::vector<std::string> lines = events_.logs;
    ASSERT_GE(lines.size(), 15u);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        engine_->Disconnect();
        ConnectGauge();
        events_.Clear();
        std::size_t seen = 0;
        events_.onLog = [&](const std::string&) {
            if (seen++ == k) {
                EXPECT_EQ(engine_->Disconnect(), 0);
            }
        };
        const int code = engine_->Discover("", "", true, "");
        events_.onLog = nullptr;
        EXPECT_TRUE(code == 0 || code == 605) << k << ": " << lines[k] << " gave " << code;
        EXPECT_EQ(EventsAfterDisconnect(), Events{}) << k << ": " << lines[k];
        if (k == 0) {
            EXPECT_EQ(code, 605);
        }
    }
}

TEST_F(Reentrancy, TreeTextWhileTheHostDisconnectsDuringADescriptorWait)
{
    ConnectAndDiscover(false);
    gauge_->SetLatency(SimOp::DiscoverDescriptors, std::chrono::milliseconds(20));
    InFirstPump([this] { EXPECT_EQ(engine_->Disconnect(), 0); });
    std::string reply;
    EXPECT_EQ(engine_->Config("GattObjTreeInfo", reply), 605);
    EXPECT_EQ(engine_->LastError(), "You must be connected to a server to perform the requested action.");
}

TEST_F(Reentrancy, UserDescriptionWriteWhenTheHostDisconnectsInItsDebugLog)
{
    Config("LogLevel=3");
    ConnectAndDiscover(true);
    std::string id;
    ASSERT_EQ(engine_->GetCharacteristicId(1, id), 0);
    ASSERT_EQ(id, Id(service_, label_));
    DisconnectInLog("3|Debug|Writing new value to User Description descriptor.");
    EXPECT_EQ(engine_->SetCharacteristicUserDescription(1, "Probe 2"), 605);
    EXPECT_EQ(gauge_->Count(SimOp::WriteDescriptor), 0);
    EXPECT_EQ(gauge_->Value(userDescription_), platform::Bytes({'P', 'r', 'o', 'b', 'e'}));
}

// 2000 queued notifications, each Value handler calling DoEvents: the
// nesting stays bounded, every value arrives once and in order.
TEST_F(Reentrancy, DoEventsFromEveryValueEventNestsBoundedly)
{
    constexpr int kValues = 2000;
    ConnectAndDiscover(false);
    ASSERT_EQ(engine_->Subscribe(ServiceId(), ValueId()), 0);
    events_.Clear();
    int depth = 0;
    int deepest = 0;
    std::vector<int> received;
    events_.onValue = [&](const std::string& line) {
        ++depth;
        deepest = std::max(deepest, depth);
        // "Value(...,HH LL)": the two bytes are the number.
        received.push_back(std::stoi(line.substr(line.size() - 6, 2), nullptr, 16) * 256 +
                           std::stoi(line.substr(line.size() - 3, 2), nullptr, 16));
        engine_->DoEvents();
        --depth;
    };
    for (int i = 0; i < kValues; ++i)
        gauge_->Notify(value_, {static_cast<std::uint8_t>(i >> 8), static_cast<std::uint8_t>(i & 0xFF)});
    ASSERT_TRUE(PumpUntil([&] { return received.size() >= static_cast<std::size_t>(kValues); }));
    EXPECT_LE(deepest, WaitLoop::kMaxNesting);
    std::vector<int> expected(kValues);
    for (int i = 0; i < kValues; ++i)
        expected[static_cast<std::size_t>(i)] = i;
    EXPECT_EQ(received, expected);
}

// A blocking call nested inside Value events (a read of another
// characteristic from each handler) holds the notifications that arrive
// during its wait for the outer loop.
TEST_F(Reentrancy, ReadsFromEveryValueEventNestBoundedly)
{
    constexpr int kValues = 200;
    ConnectAndDiscover(false);
    ASSERT_EQ(engine_->Subscribe(ServiceId(), ValueId()), 0);
    const std::string label = Id(service_, label_);
    int depth = 0;
    int deepest = 0;
    int notified = 0;
    events_.onValue = [&](const std::string& line) {
        if (line.find(label) != std::string::npos)  // the read's own Value
            return;
        ++notified;
        ++depth;
        deepest = std::max(deepest, depth);
        std::string value;
        EXPECT_EQ(engine_->ReadValue(ServiceId(), label, "", value), 0);
        --depth;
    };
    for (int i = 0; i < kValues; ++i)
        gauge_->Notify(value_, {static_cast<std::uint8_t>(i)});
    ASSERT_TRUE(PumpUntil([&] { return notified >= kValues; }));
    EXPECT_EQ(notified, kValues);
    EXPECT_LE(deepest, WaitLoop::kMaxNesting);
}

// Every request a call can be waiting for when the host disconnects from
// the pump hook (Timeout 0: only the disconnect can end the wait). The call
// fails with 605 and raises nothing for the link it left.
TEST_F(Reentrancy, EveryRequestEndsWith605WhenTheHostDisconnectsDuringItsWait)
{
    struct Case {
        const char* name;
        SimOp op;
        std::function<int(BleEngine&, const std::string&, const std::string&)> call;
        int expected;
    };
    const std::vector<Case> cases = {
        {"ReadValue", SimOp::ReadValue,
         [](BleEngine& e, const std::string& s, const std::string& c) {
             std::string out;
             return e.ReadValue(s, c, "", out);
         },
         605},
        {"WriteValue", SimOp::WriteValue,
         [](BleEngine& e, const std::string& s, const std::string& c) { return e.WriteValue(s, c, "", "x"); }, 605},
        {"PostValue", SimOp::WriteWithoutResponse,
         [](BleEngine& e, const std::string& s, const std::string& c) { return e.PostValue(s, c, "x"); }, 605},
        {"Subscribe", SimOp::WriteCccd,
         [](BleEngine& e, const std::string& s, const std::string& c) { return e.Subscribe(s, c); }, 605},
        {"CharacteristicSubscribed", SimOp::ReadCccd,
         [](BleEngine& e, const std::string&, const std::string&) {
             bool out = false;
             return e.GetCharacteristicSubscribed(0, out);
         },
         605},
        {"CharacteristicUserDescription", SimOp::GetDetails,
         [](BleEngine& e, const std::string&, const std::string&) {
             std::string out = "stale";
             const int code = e.GetCharacteristicUserDescription(0, out);
             return out.empty() ? code : -2;
         },
         605},
        {"DiscoverServices", SimOp::DiscoverServices,
         [](BleEngine& e, const std::string&, const std::string&) { return e.DiscoverServices("", ""); }, 605},
        {"DiscoverCharacteristics", SimOp::DiscoverCharacteristics,
         [](BleEngine& e, const std::string& s, const std::string&) { return e.DiscoverCharacteristics(s, ""); }, 605},
        {"DiscoverDescriptors", SimOp::DiscoverDescriptors,
         [](BleEngine& e, const std::string& s, const std::string& c) { return e.DiscoverDescriptors(s, c); }, 605},
        {"CharacteristicCachedValue", SimOp::ReadCachedValue,
         [](BleEngine& e, const std::string&, const std::string&) {
             std::string out = "stale";
             const int code = e.GetCharacteristicCachedValue(0, out);
             return out.empty() ? code : -2;
         },
         0},
    };
    for (const Case& c : cases) {
        engine_->Disconnect();
        ConnectAndDiscover(true);
        ASSERT_EQ(engine_->SetTimeout(0), 0);
        gauge_->SetLatency(c.op, kNever);
        InFirstPump([this] { EXPECT_EQ(engine_->Disconnect(), 0); });
        EXPECT_EQ(c.call(*engine_, ServiceId(), ValueId()), c.expected) << c.name << ": " << engine_->LastError();
        EXPECT_EQ(EventsAfterDisconnect(), Events{}) << c.name;
        ASSERT_EQ(engine_->SetTimeout(60), 0);
        gauge_->SetLatency(c.op, std::chrono::milliseconds(0));
    }
}

// A server that forgets its CCCDs when the link drops (no bond): after the
// link returns, Subscribe must write the CCCD again, or no value arrives.
class ForgetfulServer : public sim::SimBehaviour {
public:
    void OnLinkChanged(sim::SimPeripheral& peripheral, bool up) override
    {
        if (up)
            return;
        for (const sim::SimService& service : peripheral.Services())
            for (const sim::SimCharacteristic& chr : service.characteristics)
                peripheral.SetCccd(chr.handle, 0);
    }
};

TEST_F(Reentrancy, AReturnedLinkStartsWithACleanSubscriptionMap)
{
    gauge_->SetBehaviour(std::make_shared<ForgetfulServer>());
    ConnectAndDiscover(false);
    ASSERT_EQ(engine_->Subscribe(ServiceId(), ValueId()), 0);
    gauge_->DropLink();
    ASSERT_TRUE(PumpUntil([&] { return events_.CountPrefix("Disconnected(0,Offline)") == 1; }));
    gauge_->RestoreLink();
    ASSERT_TRUE(PumpUntil([&] { return events_.CountPrefix("Connected(0,Online)") == 1; }));
    events_.Clear();
    ASSERT_EQ(engine_->Subscribe(ServiceId(), ValueId()), 0);
    EXPECT_EQ(gauge_->Count(SimOp::WriteCccd), 2);
    EXPECT_EQ(events_.CountPrefix("Subscribed("), 1);
    gauge_->Notify(value_, {0x2A});
    EXPECT_TRUE(PumpUntil([&] { return events_.CountPrefix("Value(") == 1; }, 2));
}

TEST_F(Reentrancy, ASubscribeWhoseLinkDropsDuringItsWaitFails605AndRecordsNothing)
{
    ConnectAndDiscover(true);
    gauge_->SetLatency(SimOp::WriteCccd, std::chrono::milliseconds(50));
    InFirstPump([this] { gauge_->DropLink(); });
    EXPECT_EQ(engine_->Subscribe(ServiceId(), ValueId()), 605);
    EXPECT_EQ(events_.CountPrefix("Subscribed("), 0);
    gauge_->RestoreLink();
    ASSERT_TRUE(PumpUntil([&] { return events_.CountPrefix("Connected(0,Online)") == 1; }));
    std::string tree;
    ASSERT_EQ(engine_->Config("GattObjTreeInfo", tree), 0) << engine_->LastError();
    EXPECT_EQ(tree.find("Subscribed=True"), std::string::npos) << tree;
}

TEST_F(Reentrancy, AScanThatFailedToStartNeverStartsLater)
{
    Config("ScanStartedTimeout=0");
    radio_->SetScanStartDelay(std::chrono::milliseconds(100));
    radio_->SetAdvertisingInterval(std::chrono::milliseconds(10));
    ASSERT_EQ(engine_->StartScanning(""), 0);
    EXPECT_TRUE(events_.HasLog("1|Scanning|Scanning failed to start."));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    for (int i = 0; i < 20; ++i)
        engine_->DoEvents();
    bool scanning = true;
    engine_->GetScanning(scanning);
    EXPECT_FALSE(scanning);
    EXPECT_EQ(events_.CountPrefix("Advertisement("), 0);
    EXPECT_EQ(events_.CountPrefix("StartScan("), 0);
    // And a later start works as usual.
    radio_->SetScanStartDelay(std::chrono::milliseconds(0));
    ASSERT_EQ(engine_->StartScanning(""), 0);
    EXPECT_EQ(events_.CountPrefix("StartScan("), 1);
}

TEST_F(Reentrancy, StopScanningCallsOffAPendingStart)
{
    radio_->SetScanStartDelay(std::chrono::milliseconds(300));
    radio_->SetAdvertisingInterval(std::chrono::milliseconds(10));
    // The host's Stop button, pressed while the start is under way.
    engine_->SetHostPump([this] { EXPECT_EQ(engine_->StopScanning(), 0); });
    ASSERT_EQ(engine_->StartScanning(""), 0);
    engine_->SetHostPump({});
    EXPECT_EQ(events_.CountPrefix("StartScan("), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    for (int i = 0; i < 20; ++i)
        engine_->DoEvents();
    bool scanning = true;
    engine_->GetScanning(scanning);
    EXPECT_FALSE(scanning);
    EXPECT_EQ(events_.CountPrefix("Advertisement("), 0);
}

// Timeout 0 means no limit; Interrupt() from another thread is the way out.
TEST_F(Reentrancy, InterruptFromAnotherThreadEndsAnUnlimitedWait)
{
    ConnectAndDiscover(false);
    ASSERT_EQ(engine_->SetTimeout(0), 0);
    gauge_->SetLatency(SimOp::ReadValue, kNever);
    std::atomic<bool> returned{false};
    std::thread interrupter([&] {
        while (!returned) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            engine_->Interrupt();
        }
    });
    std::string value;
    EXPECT_EQ(engine_->ReadValue(ServiceId(), ValueId(), "", value), 301);
    returned = true;
    interrupter.join();
    EXPECT_EQ(engine_->LastError(), "Interrupted.");
    EXPECT_EQ(events_.CountPrefix("Value("), 0);
}

// A request whose wait ended (here interrupted) is cancelled: the radio
// drops its answer, which therefore reaches nobody, least of all the next
// call.
TEST_F(Reentrancy, AnAnswerAfterItsWaitEndedReachesNobody)
{
    ConnectAndDiscover(false);
    gauge_->SetLatency(SimOp::ReadValue, std::chrono::milliseconds(100));
    InFirstPump([this] { engine_->Interrupt(); });
    std::string value;
    ASSERT_EQ(engine_->ReadValue(ServiceId(), ValueId(), "", value), 301);
    EXPECT_EQ(gauge_->CancelledRequests(SimOp::ReadValue), 1);
    // A refusal for the next answer: had the first read's answer been
    // kept, due long before the second's, it would have taken it.
    gauge_->InjectFault({SimOp::ReadValue, 0, platform::GattStatus::ProtocolError, 0x02, 1});
    gauge_->SetLatency(SimOp::ReadValue, std::chrono::milliseconds(300));
    EXPECT_NE(engine_->ReadValue(ServiceId(), ValueId(), "", value), 0);
    events_.Clear();
    ASSERT_EQ(engine_->ReadValue(ServiceId(), ValueId(), "", value), 0) << engine_->LastError();
    EXPECT_EQ(value, std::string(1, '\x01'));
    EXPECT_EQ(events_.CountPrefix("Value("), 1);
    EXPECT_EQ(gauge_->Count(SimOp::ReadValue), 3);
}

}  // namespace
}  // namespace vornik::test
