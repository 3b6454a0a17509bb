// Every request the engine waits for, under every way its wait can end
// without the answer: the radio is told, drops the answer unsent, and the
// next request of that kind gets its own answer. The radio's failures
// carry its own words into the detailed log.
#include "sim_fixture.h"

namespace vornik::test {
namespace {

using sim::SimOp;
constexpr auto kNever = std::chrono::hours(1);
constexpr std::uint16_t kWritableAuxiliaries = 0x0002; // extended properties bit

enum class Ending { Timeout, Interrupt, Disconnect };

struct Names {
    std::string service, included, value, description;
};

struct Case {
    const char* name;
    SimOp op;
    bool linked; // asked on a connected, discovered gauge; else on none
    std::function<int(BleEngine&, const Names&)> call;
};

const std::vector<Case>& Cases()
{
    static const std::vector<Case> cases = {
        {"ReadValue", SimOp::ReadValue, true,
         [](BleEngine& e, const Names& n) {
             std::string out;
             return e.ReadValue(n.service, n.value, "", out);
         }},
        {"WriteValue", SimOp::WriteValue, true,
         [](BleEngine& e, const Names& n) { return e.WriteValue(n.service, n.value, "", "x"); }},
        {"PostValue", SimOp::WriteWithoutResponse, true,
         [](BleEngine& e, const Names& n) { return e.PostValue(n.service, n.value, "x"); }},
        {"ReadDescriptor", SimOp::ReadDescriptor, true,
         [](BleEngine& e, const Names& n) {
             std::string out;
             return e.ReadValue(n.service, n.value, n.description, out);
         }},
        {"WriteDescriptor", SimOp::WriteDescriptor, true,
         [](BleEngine& e, const Names& n) { return e.WriteValue(n.service, n.value, n.description, "Tip"); }},
        {"ReadCccd", SimOp::ReadCccd, true,
         [](BleEngine& e, const Names&) {
             bool out = false;
             return e.GetCharacteristicSubscribed(0, out);
         }},
        {"WriteCccd", SimOp::WriteCccd, true,
         [](BleEngine& e, const Names& n) { return e.Subscribe(n.service, n.value); }},
        {"DiscoverServices", SimOp::DiscoverServices, true,
         [](BleEngine& e, const Names&) { return e.DiscoverServices("", ""); }},
        {"DiscoverIncludedServices", SimOp::DiscoverIncludedServices, true,
         [](BleEngine& e, const Names& n) { return e.DiscoverServices("", n.service); }},
        {"DiscoverCharacteristics", SimOp::DiscoverCharacteristics, true,
         [](BleEngine& e, const Names& n) { return e.DiscoverCharacteristics(n.service, ""); }},
        {"DiscoverDescriptors", SimOp::DiscoverDescriptors, true,
         [](BleEngine& e, const Names& n) { return e.DiscoverDescriptors(n.service, n.value); }},
        {"GetDetails", SimOp::GetDetails, true,
         [](BleEngine& e, const Names&) {
             std::string out;
             return e.GetCharacteristicUserDescription(0, out);
         }},
        {"DeviceFromAddress", SimOp::DeviceFromAddress, false,
         [](BleEngine& e, const Names&) { return e.Connect(kGaugeId); }},
        {"Connect", SimOp::Connect, false, [](BleEngine& e, const Names&) { return e.Connect(kGaugeId); }},
        {"DefaultAdapter", SimOp::DefaultAdapter, false,
         [](BleEngine& e, const Names&) {
             const int code = e.StartScanning("");
             e.StopScanning();
             return code;
         }},
    };
    return cases;
}

// Service 0x180F, then 0xFFE0 (including 0x180F): value 0xFFE1 (read, write, write
// without response, notify; with its CCCD and a writable user
// description).
class Cancellation : public EngineOnSim {
protected:
    Cancellation()
    {
        // Discovered last, the main service's characteristics are the
        // characteristic array.
        const std::uint16_t battery = gauge_->AddService(Uuid::FromShort(0x180F));
        const std::uint16_t service = gauge_->AddService(Uuid::FromShort(0xFFE0));
        gauge_->IncludeService(service, battery);
        const std::uint16_t value = gauge_->AddCharacteristic(
            service, Uuid::FromShort(0xFFE1),
            platform::prop::kRead | platform::prop::kWrite | platform::prop::kWriteWithoutResponse |
                platform::prop::kNotify | platform::prop::kExtendedProperties,
            {0x01});
        gauge_->AddExtendedProperties(value, kWritableAuxiliaries);
        const std::uint16_t description = gauge_->AddUserDescription(value, "Probe", true);
        names_ = {Id(service), Id(battery), Id(service, value), Id(service, value, description)};
    }

    ~Cancellation() override { engine_->SetHostPump({}); }

    void Prepare(const Case& c)
    {
        engine_->Disconnect();
        if (c.linked) {
            ConnectGauge();
            ASSERT_EQ(engine_->Discover("", "", true, ""), 0) << engine_->LastError();
        }
        gauge_->ResetCounters();
        events_.Clear();
    }

    void Silence(SimOp op, bool silent)
    {
        const auto latency = silent ? std::chrono::milliseconds(kNever) : std::chrono::milliseconds(0);
        if (op == SimOp::DefaultAdapter)
            radio_->SetAdapterLatency(latency);
        else
            gauge_->SetLatency(op, latency);
    }

    int Cancelled(SimOp op) const
    {
        return op == SimOp::DefaultAdapter ? radio_->CancelledRequests(op) : gauge_->CancelledRequests(op);
    }

    int Asked(SimOp op) const { return op == SimOp::DefaultAdapter ? radio_->Count(op) : gauge_->Count(op); }

    // Runs `action` once, from the first round of a wait after the request
    // of kind `op` was made.
    void OncePendingIn(SimOp op, std::function<void()> action)
    {
        engine_->SetHostPump([this, op, action = std::move(action), armed = true]() mutable {
            if (armed && Asked(op) > 0) {
                armed = false;
                action();
            }
        });
    }

    // Ends one silent request of each kind in this way, then asks again.
    void Sweep(Ending ending)
    {
        for (const Case& c : Cases()) {
            if (ending == Ending::Disconnect && !c.linked)
                continue; // no link to lose yet
            SCOPED_TRACE(c.name);
            Prepare(c);
            const int cancelledBefore = Cancelled(c.op);
            Silence(c.op, true);
            // The deadline of the other endings only keeps a failing case
            // from hanging.
            ASSERT_EQ(engine_->SetTimeout(ending == Ending::Timeout ? 1 : 5), 0);
            if (ending == Ending::Interrupt)
                OncePendingIn(c.op, [this] { engine_->Interrupt(); });
            if (ending == Ending::Disconnect)
                OncePendingIn(c.op, [this] { EXPECT_EQ(engine_->Disconnect(), 0); });
            const int code = c.call(*engine_, names_);
            engine_->SetHostPump({});
            ASSERT_EQ(engine_->SetTimeout(60), 0);
            Silence(c.op, false);
            const std::string error = engine_->LastError();
            EXPECT_EQ(code, ending == Ending::Disconnect ? 605 : 301) << error;
            EXPECT_EQ(error, ending == Ending::Timeout     ? "Timeout."
                             : ending == Ending::Interrupt ? "Interrupted."
                                                           : error);
            EXPECT_EQ(Cancelled(c.op), cancelledBefore + 1);

            // Nothing of the dropped answer is left to reach the next call.
            Prepare(c);
            const int cancelledAfter = Cancelled(c.op);
            EXPECT_EQ(c.call(*engine_, names_), 0) << engine_->LastError();
            EXPECT_EQ(Cancelled(c.op), cancelledAfter);
            EXPECT_EQ(events_.CountPrefix("Value("), c.op == SimOp::ReadValue || c.op == SimOp::ReadDescriptor);
        }
    }

    Names names_;
};

TEST_F(Cancellation, EveryRequestPastTheTimeoutIsCancelled) { Sweep(Ending::Timeout); }

TEST_F(Cancellation, EveryRequestInterruptedIsCancelled) { Sweep(Ending::Interrupt); }

TEST_F(Cancellation, EveryRequestOfALinkClosedDuringItsWaitIsCancelled) { Sweep(Ending::Disconnect); }

// A request answered in time is not cancelled afterwards.
TEST_F(Cancellation, AnsweredRequestsAreNeverCancelled)
{
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        Prepare(c);
        EXPECT_EQ(c.call(*engine_, names_), 0) << engine_->LastError();
        EXPECT_EQ(Cancelled(c.op), 0);
    }
}

TEST_F(Cancellation, TheRadiosFailuresReachTheDetailedLog)
{
    struct Fault {
        sim::SimFault fault;
        std::string detail;
    };
    const std::vector<Fault> faults = {
        {{SimOp::ReadValue, 0, platform::GattStatus::ProtocolError, 0x0A, 1},
         "2|Read|BLE Result Detail: simulated: ATT error 0x0A injected"},
        {{SimOp::ReadValue, 0, platform::GattStatus::Unreachable, 0, 1},
         "2|Read|BLE Result Detail: simulated: unreachable injected"},
        {{SimOp::ReadValue, 0, platform::GattStatus::AccessDenied, 0, 1},
         "2|Read|BLE Result Detail: simulated: access denied injected"},
    };
    Prepare(Cases().front());
    Config("LogLevel=2");
    std::string out;
    for (const Fault& f : faults) {
        gauge_->InjectFault(f.fault);
        events_.Clear();
        EXPECT_NE(engine_->ReadValue(names_.service, names_.value, "", out), 0);
        EXPECT_TRUE(events_.HasLog(f.detail)) << f.detail;
    }
    // The server's own refusal, and a success, which has no detail.
    struct Refusing : sim::SimBehaviour {
        bool refuse = true;
        std::uint8_t OnRead(sim::SimPeripheral&, std::uint16_t) override { return refuse ? 0x0E : 0; }
    };
    auto behaviour = std::make_shared<Refusing>();
    gauge_->SetBehaviour(behaviour);
    events_.Clear();
    EXPECT_NE(engine_->ReadValue(names_.service, names_.value, "", out), 0);
    EXPECT_TRUE(events_.HasLog("2|Read|BLE Result Detail: simulated: the server answered ATT error 0x0E"));
    behaviour->refuse = false;
    events_.Clear();
    EXPECT_EQ(engine_->ReadValue(names_.service, names_.value, "", out), 0) << engine_->LastError();
    for (const std::string& log : events_.logs)
        EXPECT_EQ(log.find("BLE Result Detail"), std::string::npos) << log;
}

} // namespace
} // namespace vornik::test
