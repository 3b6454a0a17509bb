// The BLE GATT client engine behind the control's surface. Every member
// returns 0 or an error code and leaves the error text in LastError();
// results come back through out-parameters. Strings are byte strings in the
// engine's code page (the surface converts). All members are called on the
// thread that created the engine; events are raised only on that thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine_events.h"
#include "engine_settings.h"
#include "event_raiser.h"
#include "gatt_model.h"
#include "log_types.h"
#include "platform/platform.h"
#include "status.h"
#include "wait_loop.h"

namespace vornik {

struct ConfigRequest;
struct ConnectionState;
struct ScanState;

class BleEngine {
public:
    explicit BleEngine(std::unique_ptr<platform::Platform> platform);
    ~BleEngine();
    BleEngine(const BleEngine&) = delete;
    BleEngine& operator=(const BleEngine&) = delete;

    // Host wiring.
    void SetEventSink(EngineEvents* sink) { events_.SetSink(sink); }
    // Readable when DoEvents() has work; for a host's socket notifier.
    int PollDescriptor() const { return loop_.PollDescriptor(); }
    // Called once per wait round while UseWindowsMessages is True.
    void SetHostPump(std::function<void()> pump) { loop_.SetHostPump(std::move(pump)); }
    // Any thread: ends every wait in progress with 301 "Interrupted.".
    void Interrupt() { loop_.Interrupt(); }
    // Any thread: the host has let go; every wait, now or later, ends at
    // once with 301 "Interrupted.".
    void Shutdown() { loop_.Close(); }
    // Any thread: runs the task on the control's thread in a later round.
    void Post(std::function<void()> task) { loop_.Post(std::move(task)); }
    const std::string& LastError() const { return lastError_; }
    int CodePage() const { return settings_.codePage; }

    // Properties (index first for indexed ones). Read-only ones have no setter.
    int GetActiveScanning(bool& out) const;
    int SetActiveScanning(bool value);
    int GetCharacteristic(std::string& out) const;
    int SetCharacteristic(const std::string& characteristicId);
    int GetCharacteristicCount(short& out) const;
    int SetCharacteristicCount(short count);
    int GetCharacteristicCachedValue(int index, std::string& out);
    int GetCharacteristicCanSubscribe(int index, bool& out);
    int GetCharacteristicDescription(int index, std::string& out) const;
    int GetCharacteristicFlags(int index, short& out);
    int GetCharacteristicId(int index, std::string& out) const;
    int GetCharacteristicSubscribed(int index, bool& out);
    int SetCharacteristicSubscribed(int index, bool subscribed);
    int GetCharacteristicUserDescription(int index, std::string& out);
    int SetCharacteristicUserDescription(int index, const std::string& text);
    int GetCharacteristicUuid(int index, std::string& out) const;
    int GetCharacteristicValueExponent(int index, short& out);
    int GetCharacteristicValueFormat(int index, int& out);
    int GetCharacteristicValueFormatCount(int index, short& out);
    int GetCharacteristicValueFormatIndex(int index, short& out);
    int SetCharacteristicValueFormatIndex(int index, short formatIndex);
    int GetCharacteristicValueUnit(int index, std::string& out);
    int GetDescriptorCount(short& out) const;
    int GetDescriptorCachedValue(int index, std::string& out);
    int GetDescriptorDescription(int index, std::string& out) const;
    int GetDescriptorId(int index, std::string& out) const;
    int GetDescriptorUuid(int index, std::string& out) const;
    int GetScanning(bool& out) const;
    int GetServerId(std::string& out) const;
    int GetServerName(std::string& out) const;
    int GetService(std::string& out) const;
    int SetService(const std::string& serviceId);
    int GetServiceCount(short& out) const;
    int GetServiceDescription(int index, std::string& out) const;
    int GetServiceId(int index, std::string& out) const;
    int GetServiceIncludedSvcIds(int index, std::string& out) const;
    int GetServiceParentSvcIds(int index, std::string& out) const;
    int GetServiceUuid(int index, std::string& out) const;
    int GetTimeout(short& out) const;
    int SetTimeout(short seconds);
    // The byte-array forms read the same bytes as their string forms.
    int GetAdvertisementManufacturerDataB(std::string& out) const;
    int GetValueValueB(std::string& out) const;

    // Methods.
    int CheckCharacteristicSubscribed(short index, bool& out);
    int Config(const std::string& request, std::string& reply);
    int Connect(const std::string& serverId);
    int Disconnect();
    int Discover(const std::string& serviceUuids, const std::string& characteristicUuids, bool discoverDescriptors,
                 const std::string& includedByServiceId);
    int DiscoverCharacteristics(const std::string& serviceId, const std::string& characteristicUuids);
    int DiscoverDescriptors(const std::string& serviceId, const std::string& characteristicId);
    int DiscoverServices(const std::string& serviceUuids, const std::string& includedByServiceId);
    int DoEvents();
    int PostValue(const std::string& serviceId, const std::string& characteristicId, const std::string& value);
    int QueryCharacteristicCachedVal(short index, std::string& out);
    int QueryDescriptorCachedVal(short index, std::string& out);
    int ReadValue(const std::string& serviceId, const std::string& characteristicId, const std::string& descriptorId,
                  std::string& out);
    int Select(const std::string& serviceId, const std::string& characteristicId);
    int StartScanning(const std::string& serviceUuids);
    int StopScanning();
    int Subscribe(const std::string& serviceId, const std::string& characteristicId);
    int Unsubscribe(const std::string& serviceId, const std::string& characteristicId);
    int WriteValue(const std::string& serviceId, const std::string& characteristicId,
                   const std::string& descriptorId, const std::string& value);

private:
    friend struct BleEngineTestPeer;
    // The operation files (connection, discovery, values, scanning) share
    // their steps through this internal helper.
    friend struct EngineOps;

    // Shared helpers (engine core).
    int Done(const Status& status) const;
    void Log(LogLevel level, LogType type, std::string message);
    WaitOptions CurrentWaitOptions() const;
    void RunWaitRound();
    template <class Result>
    Status Await(const std::function<void(platform::Completion<Result>)>& start, Result& out)
    {
        return AwaitRequest(loop_, CurrentWaitOptions(), start, out);
    }
    // Platform result to engine status, with the "BLE Result Status" log line.
    Status CheckResult(const platform::GattResult& result, LogType type);
    Status CharacteristicAt(int index, CharacteristicPtr& out) const;
    Status DescriptorAt(int index, DescriptorPtr& out) const;
    Status ServiceAt(int index, ServicePtr& out) const;
    Status FlagsOf(CharacteristicRecord& record, std::uint16_t& out);
    Status BuildTreeText(std::string& out);
    Status QueryConfig(const ConfigRequest& request, std::string& reply);
    Status SetConfig(const ConfigRequest& request);

    // Hooks the connection, discovery, values and scanning files provide.
    bool IsConnected() const;
    bool ConnectionInProgress() const;
    // Called only while an advertisement is being reported.
    Status QueryAdvertisementSetting(const ConfigRequest& request, std::string& reply);
    // Makes sure descriptors of one kind (e.g. 0x2900) of a characteristic are known.
    Status EnsureDescriptorKind(CharacteristicRecord& record, std::uint16_t uuid16);
    Status SubscriptionState(CharacteristicRecord& record, bool& out);

    // Declared first so it outlives everything that holds its objects.
    std::unique_ptr<platform::Platform> platform_;
    WaitLoop loop_;
    EventRaiser events_;
    EngineSettings settings_;
    short timeoutSeconds_ = 60;
    bool activeScanning_ = false;
    mutable std::string lastError_;
    GattModel model_;
    std::unique_ptr<ConnectionState> connection_;
    std::unique_ptr<ScanState> scan_;
};

}  // namespace vornik
