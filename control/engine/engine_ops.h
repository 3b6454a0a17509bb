// Steps shared by the connection, discovery, value and scanning operations
// of BleEngine. Internal to the engine: BleEngine befriends this struct so
// the operation files can work on its state without widening its API.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ble_engine.h"

namespace vornik {

struct EngineOps {
    // "\"000C000E0000\"" -- Ids and names in log lines and texts are quoted.
    static std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

    static std::string ToText(const platform::Bytes& bytes) { return {bytes.begin(), bytes.end()}; }
    static platform::Bytes ToBytes(const std::string& text) { return {text.begin(), text.end()}; }

    static Status RequireConnection(const BleEngine& engine);
    // The record at an index of the Characteristic or Descriptor array; a
    // grown, empty slot counts as out of bounds.
    static Status CharacteristicAt(const BleEngine& engine, int index, CharacteristicPtr& out);
    static Status DescriptorAt(const BleEngine& engine, int index, DescriptorPtr& out);

    // One platform request waited for, then its result checked (with the
    // "BLE Result Status" log line of the operation's type).
    template <class Result>
    static Status Request(BleEngine& engine, LogType type,
                          const std::function<void(platform::Completion<Result>)>& start, Result& out)
    {
        Status status = engine.Await<Result>(start, out);
        if (!status.ok())
            return status;
        return engine.CheckResult(out, type);
    }

    // Connection.
    static void ReleaseDevice(BleEngine& engine);
    static void OnConnectionStatusChanged(BleEngine& engine);
    static void OnNameChanged(BleEngine& engine);
    static void OnServicesChanged(BleEngine& engine, const std::string& changedServices);

    // Discovery. `found` (optional) receives the services the request
    // returned, in result order.
    static Status DiscoverRootServices(BleEngine& engine, const std::vector<Uuid>& uuids,
                                       std::vector<ServicePtr>* found);
    static Status DiscoverIncludedServices(BleEngine& engine, const ServicePtr& parent,
                                           const std::vector<Uuid>& uuids, std::vector<ServicePtr>* found);
    static Status DiscoverCharacteristicsOf(BleEngine& engine, const ServicePtr& service,
                                            const std::vector<Uuid>& uuids);
    static Status DiscoverDescriptorsOf(BleEngine& engine, const ServiceRecord& service,
                                        const CharacteristicPtr& characteristic);
    static Status AddServices(BleEngine& engine, const std::vector<std::shared_ptr<platform::GattService>>& services,
                              const ServicePtr& parent, std::vector<ServicePtr>* found);
    static void RaiseDiscovered(BleEngine& engine, short gattType, std::string serviceId,
                                std::string characteristicId, std::string descriptorId, std::string uuid,
                                std::string description);

    // Values and subscriptions.
    static void OnValueChanged(BleEngine& engine, platform::GattCharacteristic& sender,
                               const platform::Bytes& value);
    static void RaiseValue(BleEngine& engine, std::string serviceId, std::string characteristicId,
                           std::string descriptorId, std::string uuid, std::string description,
                           const platform::Bytes& value);
    static Status EnsureCccd(BleEngine& engine, CharacteristicRecord& record);
    static Status SetSubscription(BleEngine& engine, CharacteristicRecord& record, bool subscribe);
    // A CCCD value seen on the server (read or written through a descriptor
    // request); `written` picks the log line.
    static void NoteCccdValue(BleEngine& engine, const DescriptorRecord& cccd, const platform::Bytes& value,
                              bool written);
    static Status EnsureValueFormats(BleEngine& engine, CharacteristicRecord& record);

    // Scanning.
    static void OnAdvertisementReceived(BleEngine& engine, const platform::AdvertisementReceived& received);
    static void OnScanStopped(BleEngine& engine, platform::BluetoothError error);
    static bool WatcherRunning(const BleEngine& engine);
    // The device object for an address, asked from inside an Advertisement
    // event; null when there is none, on failure, or while another look-up
    // is under way.
    static std::shared_ptr<platform::Device> LookUpDevice(BleEngine& engine, std::uint64_t address);
    static std::string QueriedName(BleEngine& engine, std::uint64_t address);
};

}  // namespace vornik
