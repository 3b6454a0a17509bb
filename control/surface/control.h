// One control instance: the engine, its host-facing wrapper, the event
// sink and the lifetime rules of the C interface.
#pragma once

#include "argument_conversion.h"
#include "dispatch_table.h"
#include "engine_events.h"
#include "vornik220.h"

#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

namespace vornik {
class BleEngine;
namespace platform {
class Platform;
}
} // namespace vornik

namespace vornik::surface {

class Control final : public EngineEvents {
public:
    explicit Control(std::unique_ptr<platform::Platform> platform);
    ~Control() override;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Number of controls alive in this module (for DllCanUnloadNow).
    static int LiveCount();

    std::uint32_t AddRef();
    std::uint32_t Release();

    vornik_hresult Invoke(std::int32_t dispid, std::int32_t kind, const vornik_variant* args, std::int32_t count,
                          vornik_variant* result);
    vornik_hresult Advise(vornik_event_sink sink, void* context);
    vornik_hresult SetPumpHook(vornik_pump_hook hook, void* context);
    int EventFd();
    // Any thread, also a signal handler: ends every wait in progress.
    void Interrupt();

    // Events from the engine, passed on to the host's sink.
    void Advertisement(std::string& serverId, std::string& name, short& rssi, short& txPower, std::string& serviceUuids,
                       std::string& servicesWithData, std::string& solicitedServiceUuids, short& manufacturerCompanyId,
                       std::string& manufacturerData, bool& isConnectable, bool& isScanResponse) override;
    void Connected(short& statusCode, std::string& description) override;
    void Disconnected(short& statusCode, std::string& description) override;
    void Discovered(short& gattType, std::string& serviceId, std::string& characteristicId, std::string& descriptorId,
                    std::string& uuid, std::string& description) override;
    void Error(short& errorCode, std::string& description) override;
    void Log(short& logLevel, std::string& message, std::string& logType) override;
    void ServerUpdate(std::string& name, std::string& changedServices) override;
    void StartScan(std::string& serviceUuids) override;
    void StopScan(short& errorCode, std::string& errorDescription) override;
    void Subscribed(std::string& serviceId, std::string& characteristicId, std::string& uuid,
                    std::string& description) override;
    void Unsubscribed(std::string& serviceId, std::string& characteristicId, std::string& uuid,
                      std::string& description) override;
    void Value(std::string& serviceId, std::string& characteristicId, std::string& descriptorId, std::string& uuid,
               std::string& description, std::string& value) override;
    void WriteResponse(std::string& serviceId, std::string& characteristicId, std::string& descriptorId,
                       std::string& uuid, std::string& description) override;

private:
    class CallScope;
    template <std::int32_t Dispid, class... Params>
    void Fire(Params&... params);

    // Checks the thread and that the host still holds the control.
    vornik_hresult Enter() const;
    vornik_hresult Dispatch(const MemberInfo& member, std::int32_t kind, const vornik_variant* args, std::int32_t count,
                            vornik_variant* result);
    vornik_hresult ConvertArguments(const MemberInfo& member, bool put, const vornik_variant* args, std::int32_t count,
                                    int codePage, std::vector<EngineValue>& values);
    int CallEngine(const MemberInfo& member, bool put, const std::vector<EngineValue>& values, EngineValue& out);
    vornik_hresult CheckIndex(const MemberInfo& member, const vornik_variant& index);
    void AboutBox() const;

    std::unique_ptr<BleEngine> engine_;
    std::thread::id owner_;
    std::uint32_t refs_ = 1;
    int depth_ = 0;
    vornik_event_sink sink_ = nullptr;
    void* sinkContext_ = nullptr;
    vornik_pump_hook pump_ = nullptr;
    void* pumpContext_ = nullptr;
};

} // namespace vornik::surface
