#include "control.h"

#include "argument_conversion.h"
#include "automation_error.h"
#include "ble_engine.h"
#include "code_page.h"
#include "error_info.h"
#include "member_calls.h"

#include <array>
#include <atomic>
#include <cstdio>
#include <exception>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace vornik::surface {
namespace {

std::atomic<int> g_liveControls{0};

constexpr std::string_view kDisplayName = "Vornik220 BLE GATT Client Control";
constexpr std::string_view kBuild = "2.2.0 (build 220)";
constexpr std::string_view kCodePageSetting = "CodePage=";
// callEngine: Config was asked for a code page strings cannot use.
constexpr int kCodePageRefused = kNotAnEngineMember + 1;

vornik_hresult Fail(std::int32_t hresult, std::string_view description, std::int32_t helpContext = 0)
{
    return SetErrorInfo(hresult, description, helpContext);
}

// Event arguments to variants and back; a sink may have changed them.
void EventToVariant(short value, ArgType, int, vornik_variant& v) { vornik_variant_set_i2(&v, value); }
void EventToVariant(bool value, ArgType, int, vornik_variant& v) { vornik_variant_set_bool(&v, value); }
void EventToVariant(const std::string& value, ArgType type, int codePage, vornik_variant& v)
{
    EngineValue engineValue{value, 0, false};
    if (ToVariant(engineValue, type, codePage, v))
        vornik_variant_set_string(&v, "", 0); // never a null string
}

void EventFromVariant(const vornik_variant& v, ArgType, int, short& value)
{
    EngineValue out;
    if (!ToEngineValue(v, ArgType::Short, 0, out))
        value = static_cast<short>(out.number);
}
void EventFromVariant(const vornik_variant& v, ArgType, int, bool& value)
{
    EngineValue out;
    if (!ToEngineValue(v, ArgType::Bool, 0, out))
        value = out.flag;
}
void EventFromVariant(const vornik_variant& v, ArgType type, int codePage, std::string& value)
{
    EngineValue out;
    if (!ToEngineValue(v, type, codePage, out))
        value = std::move(out.text);
}

// The C++ type the engine hands over for an event argument of this type.
template <class T>
constexpr bool MatchesEventArg(EventArgType type)
{
    if constexpr (std::is_same_v<T, short>)
        return type == EventArgType::Short;
    else if constexpr (std::is_same_v<T, bool>)
        return type == EventArgType::Bool;
    else
        return std::is_same_v<T, std::string> && (type == EventArgType::Text || type == EventArgType::Bytes);
}

} // namespace

// Keeps the control alive while one of its calls runs: a host that releases
// it from an event handler only marks it, and the outermost call deletes it.
class Control::CallScope {
public:
    explicit CallScope(Control& control)
        : control_(control)
    {
        ++control_.depth_;
    }
    ~CallScope()
    {
        if (--control_.depth_ == 0 && control_.refs_ == 0)
            delete &control_;
    }
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

private:
    Control& control_;
};

Control::Control(std::unique_ptr<platform::Platform> platform)
    : engine_(std::make_unique<BleEngine>(std::move(platform)))
    , owner_(std::this_thread::get_id())
{
    engine_->SetEventSink(this);
    engine_->SetHostPump([this] {
        if (pump_)
            pump_(pumpContext_);
    });
    ++g_liveControls;
}

Control::~Control()
{
    sink_ = nullptr;
    pump_ = nullptr;
    engine_->SetEventSink(nullptr);
    engine_.reset();
    --g_liveControls;
}

int Control::LiveCount() { return g_liveControls.load(); }

// References are counted on the creating thread only; a call from another
// thread changes nothing (a leak is better than a race on the count).
std::uint32_t Control::AddRef()
{
    if (std::this_thread::get_id() != owner_)
        return 0;
    return refs_ == 0 ? 0 : ++refs_;
}

std::uint32_t Control::Release()
{
    if (std::this_thread::get_id() != owner_ || refs_ == 0)
        return 0;
    const std::uint32_t left = --refs_;
    if (left == 0 && depth_ == 0) {
        delete this;
    } else if (left == 0) {
        // Released inside an event: the outermost call deletes the control
        // when it returns, so nothing it waits for, now or later, may keep
        // it waiting.
        engine_->Shutdown();
    }
    return left;
}

void Control::Interrupt() { engine_->Interrupt(); }

vornik_hresult Control::Enter() const
{
    if (std::this_thread::get_id() != owner_)
        return Fail(VORNIK_RPC_E_WRONG_THREAD, kTextWrongThread);
    if (refs_ == 0)
        return Fail(VORNIK_RPC_E_DISCONNECTED, kTextReleased);
    return VORNIK_S_OK;
}

vornik_hresult Control::Invoke(std::int32_t dispid, std::int32_t kind, const vornik_variant* args, std::int32_t count,
                               vornik_variant* result)
{
    ClearErrorInfo();
    if (const vornik_hresult hr = Enter(); hr != VORNIK_S_OK)
        return hr;
    const MemberInfo* member = FindMember(dispid);
    if (!member)
        return Fail(VORNIK_DISP_E_MEMBERNOTFOUND, kTextMemberNotFound);
    vornik_hresult hr = VORNIK_S_OK;
    {
        CallScope scope(*this);
        try {
            hr = Dispatch(*member, kind, args, count, result);
        } catch (const std::bad_alloc&) {
            hr = Fail(VORNIK_CTL_E_OUTOFMEMORY, kTextOutOfMemory, member->helpContext);
        } catch (const std::exception& e) {
            hr = Fail(VORNIK_E_FAIL, e.what(), member->helpContext);
        }
    } // `this` may be gone from here on
    return hr;
}

vornik_hresult Control::Dispatch(const MemberInfo& m, std::int32_t kind, const vornik_variant* args, std::int32_t count,
                                 vornik_variant* result)
{
    const bool isProperty = m.kind == MemberKind::Property;
    const bool put = isProperty && (kind & VORNIK_INVOKE_PROPERTYPUT) != 0;
    if (!put && (kind & (VORNIK_INVOKE_METHOD | VORNIK_INVOKE_PROPERTYGET)) == 0)
        return Fail(VORNIK_DISP_E_MEMBERNOTFOUND, kTextMemberNotFound, m.helpContext);
    if (put && m.readOnly)
        return Fail(VORNIK_CTL_E_SETNOTSUPPORTED, kTextReadOnly, m.helpContext);

    const int codePage = engine_->CodePage();
    std::vector<EngineValue> values;
    if (const vornik_hresult hr = ConvertArguments(m, put, args, count, codePage, values); hr != VORNIK_S_OK)
        return hr;

    EngineValue out;
    const int code = CallEngine(m, put, values, out);
    if (code == kNotAnEngineMember)
        return Fail(VORNIK_DISP_E_MEMBERNOTFOUND, kTextMemberNotFound, m.helpContext);
    if (code == kCodePageRefused)
        return Fail(VORNIK_E_INVALIDARG, out.text, m.helpContext);
    if (code != 0)
        return SetErrorInfo(EngineError(code, FromEngine(engine_->LastError(), codePage).text, m.helpContext));
    if (result) {
        *result = vornik_variant{};
        if (!put && m.type != ArgType::None)
            if (const auto failure = ToVariant(out, m.type, codePage, *result))
                return Fail(failure->hresult, failure->description, m.helpContext);
    }
    return VORNIK_S_OK;
}

vornik_hresult Control::ConvertArguments(const MemberInfo& m, bool put, const vornik_variant* args, std::int32_t count,
                                         int codePage, std::vector<EngineValue>& values)
{
    std::vector<ArgType> types;
    if (m.kind == MemberKind::Property) {
        if (m.indexName)
            types.push_back(ArgType::Long);
        if (put)
            types.push_back(m.type);
    } else {
        for (const auto& p : m.params)
            types.push_back(p.type);
    }
    const bool optionalArgument = m.dispid == VORNIK_DISPID_OnStartPage && count == 0;
    if (count < 0 || (static_cast<std::size_t>(count) != types.size() && !optionalArgument))
        return Fail(VORNIK_DISP_E_BADPARAMCOUNT, kTextBadParamCount, m.helpContext);
    if (count > 0 && !args)
        return Fail(VORNIK_E_POINTER, kTextNullArgument, m.helpContext);
    if (m.indexName)
        if (const vornik_hresult hr = CheckIndex(m, args[0]); hr != VORNIK_S_OK)
            return hr;
    if (!IsSupportedCodePage(codePage))
        return Fail(VORNIK_E_INVALIDARG, CodePageRefusal(codePage), m.helpContext);
    values.resize(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < values.size(); ++i)
        if (const auto failure = ToEngineValue(args[i], types[i], codePage, values[i]))
            return Fail(failure->hresult, failure->description, m.helpContext);
    return VORNIK_S_OK;
}

int Control::CallEngine(const MemberInfo& m, bool put, const std::vector<EngineValue>& values, EngineValue& out)
{
    switch (m.dispid) {
    case VORNIK_DISPID_AboutBox:
        AboutBox();
        return 0;
    case VORNIK_DISPID_OnStartPage:
    case VORNIK_DISPID_OnEndPage:
        return 0; // page hosting: nothing to do
    case VORNIK_DISPID_Config: {
        const int before = engine_->CodePage();
        const int code = engine_->Config(values[0].text, out.text);
        // A code page no string could be converted with would lock the
        // host out; keep the one before.
        if (code == 0 && !IsSupportedCodePage(engine_->CodePage())) {
            out.text = CodePageRefusal(engine_->CodePage());
            std::string ignored;
            engine_->Config(std::string(kCodePageSetting) + std::to_string(before), ignored);
            return kCodePageRefused;
        }
        return code;
    }
    default:
        break;
    }
    if (m.kind == MemberKind::Method)
        return CallMethod(*engine_, m, values, out);
    return put ? PutProperty(*engine_, m, values) : GetProperty(*engine_, m, values, out);
}

vornik_hresult Control::CheckIndex(const MemberInfo& member, const vornik_variant& index)
{
    EngineValue value;
    if (const auto failure = ToEngineValue(index, ArgType::Long, 0, value))
        return Fail(failure->hresult, failure->description, member.helpContext);
    int count = 0;
    if (const int code = CountFor(*engine_, member.indexName, count); code != 0)
        return SetErrorInfo(
            EngineError(code, FromEngine(engine_->LastError(), engine_->CodePage()).text, member.helpContext));
    if (value.number < 0 || value.number >= count)
        return Fail(VORNIK_CTL_E_INVALIDPROPERTYARRAYINDEX, kTextInvalidIndex, member.helpContext);
    return VORNIK_S_OK;
}

void Control::AboutBox() const
{
    std::fprintf(stderr, "%.*s\nVersion %.*s\n", static_cast<int>(kDisplayName.size()), kDisplayName.data(),
                 static_cast<int>(kBuild.size()), kBuild.data());
}

int Control::EventFd() { return std::this_thread::get_id() == owner_ && refs_ != 0 ? engine_->PollDescriptor() : -1; }

vornik_hresult Control::Advise(vornik_event_sink sink, void* context)
{
    ClearErrorInfo();
    if (const vornik_hresult hr = Enter(); hr != VORNIK_S_OK)
        return hr;
    sink_ = sink;
    sinkContext_ = sink ? context : nullptr;
    return VORNIK_S_OK;
}

vornik_hresult Control::SetPumpHook(vornik_pump_hook hook, void* context)
{
    ClearErrorInfo();
    if (const vornik_hresult hr = Enter(); hr != VORNIK_S_OK)
        return hr;
    pump_ = hook;
    pumpContext_ = hook ? context : nullptr;
    return VORNIK_S_OK;
}

template <std::int32_t Dispid, class... Params>
void Control::Fire(Params&... params)
{
    constexpr std::int32_t index = vornik::EventIndexOf(Dispid);
    static_assert(index >= 0 && vornik::kEvents[index].params.size() == sizeof...(Params),
                  "an event is raised with the arguments the public event table gives it");
    static_assert([]<std::size_t... I>(std::index_sequence<I...>) {
        return (MatchesEventArg<Params>(vornik::kEvents[index].params[static_cast<std::int32_t>(I)].type) && ...);
    }(std::index_sequence_for<Params...>{}));
    const EventInfo* const info = &vornik::kEvents[index];
    if (!sink_ || refs_ == 0)
        return;
    const int codePage = IsSupportedCodePage(engine_->CodePage()) ? engine_->CodePage() : kCodePageAnsi;
    std::array<vornik_variant, sizeof...(Params)> vars{};
    [&]<std::size_t... I>(std::index_sequence<I...>)
    {
        (EventToVariant(params, EventArgConversion(info->params[I].type), codePage, vars[I]), ...);
    }
    (std::index_sequence_for<Params...>{});
    ++depth_; // a release inside the sink waits for the call that raised the event
    sink_(sinkContext_, Dispid, vars.data(), static_cast<std::int32_t>(vars.size()));
    --depth_;
    [&]<std::size_t... I>(std::index_sequence<I...>)
    {
        (EventFromVariant(vars[I], EventArgConversion(info->params[I].type), codePage, params), ...);
    }
    (std::index_sequence_for<Params...>{});
    for (auto& v : vars)
        vornik_variant_clear(&v);
}

void Control::Advertisement(std::string& serverId, std::string& name, short& rssi, short& txPower,
                            std::string& serviceUuids, std::string& servicesWithData,
                            std::string& solicitedServiceUuids, short& manufacturerCompanyId,
                            std::string& manufacturerData, bool& isConnectable, bool& isScanResponse)
{
    Fire<VORNIK_EVENT_Advertisement>(serverId, name, rssi, txPower, serviceUuids, servicesWithData,
                                     solicitedServiceUuids, manufacturerCompanyId, manufacturerData, isConnectable,
                                     isScanResponse);
}

void Control::Connected(short& statusCode, std::string& description)
{
    Fire<VORNIK_EVENT_Connected>(statusCode, description);
}

void Control::Disconnected(short& statusCode, std::string& description)
{
    Fire<VORNIK_EVENT_Disconnected>(statusCode, description);
}

void Control::Discovered(short& gattType, std::string& serviceId, std::string& characteristicId,
                         std::string& descriptorId, std::string& uuid, std::string& description)
{
    Fire<VORNIK_EVENT_Discovered>(gattType, serviceId, characteristicId, descriptorId, uuid, description);
}

void Control::Error(short& errorCode, std::string& description) { Fire<VORNIK_EVENT_Error>(errorCode, description); }

void Control::Log(short& logLevel, std::string& message, std::string& logType)
{
    Fire<VORNIK_EVENT_Log>(logLevel, message, logType);
}

void Control::ServerUpdate(std::string& name, std::string& changedServices)
{
    Fire<VORNIK_EVENT_ServerUpdate>(name, changedServices);
}

void Control::StartScan(std::string& serviceUuids) { Fire<VORNIK_EVENT_StartScan>(serviceUuids); }

void Control::StopScan(short& errorCode, std::string& errorDescription)
{
    Fire<VORNIK_EVENT_StopScan>(errorCode, errorDescription);
}

void Control::Subscribed(std::string& serviceId, std::string& characteristicId, std::string& uuid,
                         std::string& description)
{
    Fire<VORNIK_EVENT_Subscribed>(serviceId, characteristicId, uuid, description);
}

void Control::Unsubscribed(std::string& serviceId, std::string& characteristicId, std::string& uuid,
                           std::string& description)
{
    Fire<VORNIK_EVENT_Unsubscribed>(serviceId, characteristicId, uuid, description);
}

void Control::Value(std::string& serviceId, std::string& characteristicId, std::string& descriptorId, std::string& uuid,
                    std::string& description, std::string& value)
{
    Fire<VORNIK_EVENT_Value>(serviceId, characteristicId, descriptorId, uuid, description, value);
}

void Control::WriteResponse(std::string& serviceId, std::string& characteristicId, std::string& descriptorId,
                            std::string& uuid, std::string& description)
{
    Fire<VORNIK_EVENT_WriteResponse>(serviceId, characteristicId, descriptorId, uuid, description);
}

} // namespace vornik::surface
