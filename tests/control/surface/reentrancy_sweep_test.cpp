// The host that calls back: every member of the control, with valid and
// invalid arguments, called from inside every event and from the pump
// hook, while a script walks the simulated radio through every connection
// state it can produce. Nothing may crash (run it under the sanitizers),
// and every call ends with a result or an error record.
#include "control.h"
#include "dispatch_table.h"
#include "platform/sim/sim_radio.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace vornik::surface {
namespace {

constexpr std::uint64_t kGaugeAddress = 0xA4C138F0B27Dull;
constexpr const char* kGaugeId = "A4C138F0B27D";
constexpr std::uint16_t kWritableAuxiliaries = 0x0002; // extended properties bit
// Calls one member makes from each event kind (and from the pump) in one
// step of the script: enough to meet every state, few enough to stay fast.
constexpr int kCallsPerStep = 2;
// A re-entrant call may itself raise events; those call again up to here.
constexpr int kMaxReentry = 2;

enum class ArgSet { Valid, Invalid, WrongTypes };

std::string Id(std::uint16_t service, std::uint16_t characteristic = 0, std::uint16_t descriptor = 0)
{
    char buffer[13];
    std::snprintf(buffer, sizeof buffer, "%04X%04X%04X", service, characteristic, descriptor);
    return buffer;
}

// A variant that owns its text.
struct Arg {
    std::int32_t type = VORNIK_VT_EMPTY;
    std::int32_t number = 0;
    std::string text;

    static Arg Text(std::string value) { return {VORNIK_VT_STR, 0, std::move(value)}; }
    static Arg Short(int value) { return {VORNIK_VT_I2, value, {}}; }
    static Arg Long(int value) { return {VORNIK_VT_I4, value, {}}; }
    static Arg Bool(bool value) { return {VORNIK_VT_BOOL, value ? -1 : 0, {}}; }

    vornik_variant View() const
    {
        vornik_variant v{};
        v.type = type;
        v.i = number;
        if (type == VORNIK_VT_STR) {
            v.data = const_cast<char*>(text.data());
            v.len = static_cast<std::uint32_t>(text.size());
        }
        return v;
    }
};

struct Call {
    std::string label;
    std::int32_t dispid = 0;
    std::int32_t kind = 0;
    std::vector<Arg> args;
};

// The peripheral: service 0xFFE0 with value 0xFFE1 (read, write, write
// without response, notify; a presentation format) and label 0xFFE2
// (writable auxiliaries, writable user description); service 0x180F
// including 0xFFE0.
struct Gauge {
    std::shared_ptr<sim::SimPeripheral> peripheral;
    std::uint16_t service = 0;
    std::uint16_t battery = 0;
    std::uint16_t value = 0;
    std::uint16_t cccd = 0;
    std::uint16_t label = 0;
};

class Sweep {
public:
    Sweep()
    {
        auto radio = std::make_unique<sim::SimRadio>();
        radio_ = radio.get();
        radio_->SetAdvertisingInterval(std::chrono::milliseconds(1));
        gauge_.peripheral = radio_->AddPeripheral(kGaugeAddress, "QN-Sim");
        sim::SimPeripheral& p = *gauge_.peripheral;
        p.Advertising().data.localName = "QN-Sim";
        p.Advertising().data.manufacturerData = {{0xFFFF, {0x01, 0x02}}};
        gauge_.service = p.AddService(Uuid::FromShort(0xFFE0));
        namespace prop = platform::prop;
        gauge_.value =
            p.AddCharacteristic(gauge_.service, Uuid::FromShort(0xFFE1),
                                prop::kRead | prop::kWrite | prop::kWriteWithoutResponse | prop::kNotify, {0x01});
        gauge_.cccd = static_cast<std::uint16_t>(gauge_.value + 1);
        p.AddPresentationFormat(gauge_.value, 0x04, 0, 0x2700);
        gauge_.label =
            p.AddCharacteristic(gauge_.service, Uuid::FromShort(0xFFE2), prop::kRead | prop::kExtendedProperties);
        p.AddExtendedProperties(gauge_.label, kWritableAuxiliaries);
        p.AddUserDescription(gauge_.label, "Probe", true);
        gauge_.battery = p.AddService(Uuid::FromShort(0x180F));
        p.IncludeService(gauge_.battery, gauge_.service);
        p.AddCharacteristic(gauge_.battery, Uuid::FromShort(0x2A19), prop::kRead | prop::kIndicate, {0x64});
        // Connecting and requests take a round or two: the pump runs in
        // every state, "connecting" included.
        p.SetLatency(std::chrono::milliseconds(1));

        control_ = new Control(std::move(radio));
        control_->Advise(&Sweep::OnEvent, this);
        control_->SetPumpHook(&Sweep::OnPump, this);
        Run(Method(VORNIK_DISPID_Config, {Arg::Text("LogLevel=3")}));
        Run(Method(VORNIK_DISPID_Config, {Arg::Text("SelectWaitMillis=1")}));
        Run(Method(VORNIK_DISPID_Config, {Arg::Text("AutoDiscoverIncludedServices=1")}));
        Run({"Timeout", VORNIK_DISPID_Timeout, VORNIK_INVOKE_PROPERTYPUT, {Arg::Short(2)}});
    }

    ~Sweep()
    {
        control_->Advise(nullptr, nullptr);
        control_->SetPumpHook(nullptr, nullptr);
        control_->Release();
    }

    Sweep(const Sweep&) = delete;
    Sweep& operator=(const Sweep&) = delete;

    // The member every event and the pump call back with.
    void Arm(Call call) { reentrant_ = std::move(call); }

    // The script: each step puts the radio or the control into a state.
    void RunScript()
    {
        const std::string service = Id(gauge_.service);
        const std::string value = Id(gauge_.service, gauge_.value);
        const std::string label = Id(gauge_.service, gauge_.label);
        const std::string cccd = Id(gauge_.service, gauge_.value, gauge_.cccd);
        sim::SimPeripheral& p = *gauge_.peripheral;
        Step(Method(VORNIK_DISPID_DoEvents, {}));
        Step(Method(VORNIK_DISPID_StartScanning, {Arg::Text("")}));
        Step(Method(VORNIK_DISPID_DoEvents, {}));
        Step(Method(VORNIK_DISPID_DoEvents, {}));
        Step(Method(VORNIK_DISPID_StopScanning, {}));
        Step(Method(VORNIK_DISPID_Connect, {Arg::Text(kGaugeId)}));
        Step(Method(VORNIK_DISPID_Discover, {Arg::Text(""), Arg::Text(""), Arg::Bool(true), Arg::Text("")}));
        Step(Method(VORNIK_DISPID_Config, {Arg::Text("GattObjTreeInfo")}));
        Step(Method(VORNIK_DISPID_ReadValue, {Arg::Text(service), Arg::Text(value), Arg::Text("")}));
        Step(Method(VORNIK_DISPID_WriteValue, {Arg::Text(service), Arg::Text(value), Arg::Text(""), Arg::Text("v")}));
        Step(Method(VORNIK_DISPID_PostValue, {Arg::Text(service), Arg::Text(value), Arg::Text("p")}));
        Step(Method(VORNIK_DISPID_Subscribe, {Arg::Text(service), Arg::Text(value)}));
        Step(Method(VORNIK_DISPID_ReadValue, {Arg::Text(service), Arg::Text(value), Arg::Text(cccd)}));
        Step(Method(VORNIK_DISPID_WriteValue,
                    {Arg::Text(service), Arg::Text(value), Arg::Text(cccd), Arg::Text(std::string("\x01\x00", 2))}));
        p.Notify(gauge_.value, {0x2A});
        p.Notify(gauge_.value, {0x2B});
        Step(Method(VORNIK_DISPID_DoEvents, {}));
        Step(Method(VORNIK_DISPID_Select, {Arg::Text(service), Arg::Text(label)}));
        Step({"UserDescription",
              VORNIK_DISPID_CharacteristicUserDescription,
              VORNIK_INVOKE_PROPERTYPUT,
              {Arg::Long(1), Arg::Text("Probe 2")}});
        Step({"ValueFormat", VORNIK_DISPID_CharacteristicValueFormat, VORNIK_INVOKE_PROPERTYGET, {Arg::Long(0)}});
        Step({"CachedValue", VORNIK_DISPID_CharacteristicCachedValue, VORNIK_INVOKE_PROPERTYGET, {Arg::Long(0)}});
        p.SetName("QN-Renamed");
        p.ChangeServices("0000FFE0-0000-1000-8000-00805F9B34FB");
        Step(Method(VORNIK_DISPID_DoEvents, {}));
        p.DropLink();
        Step(Method(VORNIK_DISPID_DoEvents, {}));
        Step(Method(VORNIK_DISPID_ReadValue, {Arg::Text(service), Arg::Text(value), Arg::Text("")}));
        p.RestoreLink();
        Step(Method(VORNIK_DISPID_DoEvents, {}));
        Step(Method(VORNIK_DISPID_Unsubscribe, {Arg::Text(""), Arg::Text("")}));
        Step(Method(VORNIK_DISPID_Disconnect, {}));
        Step(Method(VORNIK_DISPID_DoEvents, {}));
        Step(Method(VORNIK_DISPID_StartScanning, {Arg::Text("")}));
        radio_->AbortScans(platform::BluetoothError::RadioNotAvailable);
        Step(Method(VORNIK_DISPID_DoEvents, {}));
        Step(Method(VORNIK_DISPID_Connect, {Arg::Text("001122334455")}));
        Step(Method(VORNIK_DISPID_Connect, {Arg::Text(kGaugeId)}));
        Step(Method(VORNIK_DISPID_Disconnect, {}));
    }

    int ReentrantCalls() const { return reentrantCalls_; }
    // The event dispids (0: the pump) that called back.
    const std::set<std::int32_t>& Sources() const { return sources_; }
    const std::vector<std::string>& Failures() const { return failures_; }
    const Gauge& GaugeIds() const { return gauge_; }

    static Call Method(std::int32_t dispid, std::vector<Arg> args)
    {
        return {FindMember(dispid)->name, dispid, VORNIK_INVOKE_METHOD, std::move(args)};
    }

private:
    void Step(const Call& call)
    {
        budget_.clear();
        Run(call);
    }

    // Every call ends with a result or with an error record that says why.
    void Run(const Call& call)
    {
        std::vector<vornik_variant> views;
        for (const Arg& arg : call.args)
            views.push_back(arg.View());
        vornik_variant result{};
        const vornik_hresult hr =
            control_->Invoke(call.dispid, call.kind, views.data(), static_cast<std::int32_t>(views.size()), &result);
        if (hr != VORNIK_S_OK) {
            vornik_error_info info{};
            if (vornik_get_error_info(&info) != VORNIK_S_OK || info.hresult != hr || info.description == nullptr ||
                *info.description == '\0')
                failures_.push_back(call.label + ": failed without an error record");
        } else if (result.type == VORNIK_VT_STR && result.data == nullptr) {
            failures_.push_back(call.label + ": a null string result");
        }
        vornik_variant_clear(&result);
    }

    void CallBack(std::int32_t source)
    {
        if (reentry_ >= kMaxReentry || reentrant_.dispid == 0 || budget_[source] >= kCallsPerStep)
            return;
        ++budget_[source];
        sources_.insert(source);
        ++reentry_;
        ++reentrantCalls_;
        Run(reentrant_);
        --reentry_;
    }

    static void OnEvent(void* context, std::int32_t dispid, vornik_variant* args, std::int32_t count)
    {
        // The arguments are well-formed variants whatever happened before,
        // of the count and types the public event table gives the event.
        const EventInfo* info = FindEvent(dispid);
        if (!info || !vornik::EventArgsMatch(*info, args, count))
            static_cast<Sweep*>(context)->failures_.push_back("event " + std::to_string(dispid) +
                                                              ": arguments not as the event table says");
        for (std::int32_t i = 0; i < count; ++i)
            if (args[i].type == VORNIK_VT_STR && args[i].data == nullptr)
                static_cast<Sweep*>(context)->failures_.push_back("event " + std::to_string(dispid) +
                                                                  ": a null string argument");
        static_cast<Sweep*>(context)->CallBack(dispid);
    }

    static void OnPump(void* context) { static_cast<Sweep*>(context)->CallBack(0); }

    sim::SimRadio* radio_ = nullptr;
    Gauge gauge_;
    Control* control_ = nullptr;
    Call reentrant_;
    std::map<std::int32_t, int> budget_; // per event dispid, 0 for the pump
    std::set<std::int32_t> sources_;
    int reentry_ = 0;
    int reentrantCalls_ = 0;
    std::vector<std::string> failures_;
};

// The arguments one member gets: what a careful host passes, what a
// careless one passes, and the wrong types.
std::vector<Arg> ArgumentsFor(const ParamInfo& param, ArgSet set, const Gauge& gauge)
{
    const std::string name = param.name;
    if (set == ArgSet::WrongTypes)
        return {param.type == ArgType::Text || param.type == ArgType::Bytes ? Arg::Bool(true) : Arg::Text("maybe")};
    const bool valid = set == ArgSet::Valid;
    if (name == "ServiceId")
        return {Arg::Text(valid ? Id(gauge.service) : "ZZZZ")};
    if (name == "CharacteristicId")
        return {Arg::Text(valid ? Id(gauge.service, gauge.value) : "000100990000")};
    if (name == "DescriptorId")
        return {Arg::Text(valid ? "" : "000100030099")};
    if (name == "IncludedByServiceId")
        return {Arg::Text(valid ? "" : Id(0x7777))};
    if (name == "ServerId")
        return {Arg::Text(valid ? kGaugeId : "A4C1-nonsense")};
    if (name == "ConfigurationString")
        return {Arg::Text(valid ? "LogLevel" : "CodePage=65000")};
    if (name.find("Uuids") != std::string::npos)
        return {Arg::Text(valid ? "FFE0,2902" : "12345")};
    switch (param.type) {
    case ArgType::Short:
        return {Arg::Short(valid ? 0 : 999)};
    case ArgType::Long:
        return {Arg::Long(valid ? 0 : -1)};
    case ArgType::Bool:
        return {Arg::Bool(valid)};
    case ArgType::Any:
        return {};
    default:
        return {Arg::Text(valid ? "v" : std::string(70000, '\xFF'))};
    }
}

Arg PutValue(const MemberInfo& member, ArgSet set)
{
    if (set == ArgSet::WrongTypes)
        return member.type == ArgType::Text || member.type == ArgType::Bytes ? Arg::Bool(false) : Arg::Text("x");
    const bool valid = set == ArgSet::Valid;
    switch (member.type) {
    case ArgType::Short:
        // Never a Timeout of 0 (no limit) in the sweep: some waits would
        // have nothing to end them.
        return Arg::Short(valid ? 2 : -7);
    case ArgType::Long:
        return Arg::Long(valid ? 0 : 77);
    case ArgType::Bool:
        return Arg::Bool(valid);
    default:
        return Arg::Text(valid ? "" : "ZZZ");
    }
}

std::vector<Call> EveryCall(ArgSet set, const Gauge& gauge)
{
    std::vector<Call> calls;
    const char* suffix = set == ArgSet::Valid ? " (valid)" : set == ArgSet::Invalid ? " (invalid)" : " (wrong types)";
    for (const MemberInfo& member : Members()) {
        if (member.dispid == VORNIK_DISPID_AboutBox)
            continue; // prints a box; nothing of the engine behind it
        if (member.kind == MemberKind::Method) {
            Call call{std::string(member.name) + suffix, member.dispid, VORNIK_INVOKE_METHOD, {}};
            for (const ParamInfo& param : member.params)
                for (Arg& arg : ArgumentsFor(param, set, gauge))
                    call.args.push_back(std::move(arg));
            calls.push_back(std::move(call));
            continue;
        }
        std::vector<Arg> index;
        if (member.indexName)
            index.push_back(set == ArgSet::Valid     ? Arg::Long(0)
                            : set == ArgSet::Invalid ? Arg::Long(999)
                                                     : Arg::Text("first"));
        calls.push_back({std::string("get ") + member.name + suffix, member.dispid, VORNIK_INVOKE_PROPERTYGET, index});
        if (!member.readOnly) {
            std::vector<Arg> args = index;
            args.push_back(PutValue(member, set));
            calls.push_back({std::string("put ") + member.name + suffix, member.dispid, VORNIK_INVOKE_PROPERTYPUT,
                             std::move(args)});
        }
    }
    return calls;
}

class ReentrancySweep : public ::testing::TestWithParam<ArgSet> { };

TEST_P(ReentrancySweep, EveryMemberFromEveryEventAndThePump)
{
    const std::vector<Call> calls = EveryCall(GetParam(), Sweep().GaugeIds());
    ASSERT_GT(calls.size(), 60u);
    std::set<std::int32_t> sources;
    for (const Call& call : calls) {
        Sweep sweep;
        sweep.Arm(call);
        sweep.RunScript();
        EXPECT_GT(sweep.ReentrantCalls(), 0) << call.label;
        EXPECT_EQ(sweep.Failures(), std::vector<std::string>{}) << call.label;
        sources.insert(sweep.Sources().begin(), sweep.Sources().end());
    }
    // The pump and all thirteen events called back at least once.
    std::set<std::int32_t> every{0};
    for (const EventInfo& event : Events())
        every.insert(event.dispid);
    EXPECT_EQ(sources, every);
}

INSTANTIATE_TEST_SUITE_P(ArgumentSets, ReentrancySweep,
                         ::testing::Values(ArgSet::Valid, ArgSet::Invalid, ArgSet::WrongTypes),
                         [](const testing::TestParamInfo<ArgSet>& info) {
                             return info.param == ArgSet::Valid     ? std::string("Valid")
                                    : info.param == ArgSet::Invalid ? std::string("Invalid")
                                                                    : std::string("WrongTypes");
                         });

// The host drops its last reference from inside an event while a call
// waits on a request that is never answered (Timeout 0): the wait ends and
// the control goes when the call returns.
TEST(ReentrancyRelease, TheLastReleaseInsideAnEventEndsAnUnlimitedWait)
{
    auto radio = std::make_unique<sim::SimRadio>();
    auto gauge = radio->AddPeripheral(kGaugeAddress, "QN-Sim");
    gauge->AddService(Uuid::FromShort(0xFFE0));
    gauge->SetLatency(sim::SimOp::DiscoverServices, std::chrono::hours(1));
    const int before = Control::LiveCount();
    Control* control = new Control(std::move(radio));
    struct Context {
        Control* control;
        bool released = false;
    } context{control};
    control->Advise(
        [](void* raw, std::int32_t dispid, vornik_variant* args, std::int32_t count) {
            auto* ctx = static_cast<Context*>(raw);
            if (dispid == VORNIK_EVENT_Log && count == 3 && !ctx->released &&
                std::string(args[1].data, args[1].len) == "Attempting to discover all root services.") {
                ctx->released = true;
                EXPECT_EQ(ctx->control->Release(), 0u);
            }
        },
        &context);
    const Arg logLevel = Arg::Text("LogLevel=2"), server = Arg::Text(kGaugeId), empty = Arg::Text("");
    vornik_variant config = logLevel.View();
    ASSERT_EQ(control->Invoke(VORNIK_DISPID_Config, VORNIK_INVOKE_METHOD, &config, 1, nullptr), VORNIK_S_OK);
    vornik_variant timeout{VORNIK_VT_I2, 0, nullptr, 0, 0};
    ASSERT_EQ(control->Invoke(VORNIK_DISPID_Timeout, VORNIK_INVOKE_PROPERTYPUT, &timeout, 1, nullptr), VORNIK_S_OK);
    vornik_variant id = server.View();
    ASSERT_EQ(control->Invoke(VORNIK_DISPID_Connect, VORNIK_INVOKE_METHOD, &id, 1, nullptr), VORNIK_S_OK);
    std::array<vornik_variant, 2> discover = {empty.View(), empty.View()};
    const vornik_hresult hr =
        control->Invoke(VORNIK_DISPID_DiscoverServices, VORNIK_INVOKE_METHOD, discover.data(), 2, nullptr);
    EXPECT_TRUE(context.released);
    EXPECT_EQ(static_cast<std::uint32_t>(hr), 0x800A0000u | (301 + 20001));
    EXPECT_EQ(Control::LiveCount(), before); // deleted when the call returned
}

} // namespace
} // namespace vornik::surface
