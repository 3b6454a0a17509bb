// Steps shared by the connection, discovery, value and scanning operations
// of BleEngine. Internal to the engine: BleEngine befriends this struct so
// the operation files can work on its state without widening its API.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
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

    // The link a call started on. Anything that runs host code (an event,
    // a log line, the pump hook, a wait) may disconnect or connect anew;
    // after it, Check() fails with 605 unless the link is still that one.
    struct Session {
        std::uint64_t generation = 0;
    };
    static Session Begin(const BleEngine& engine);
    static Status Check(const BleEngine& engine, const Session& session);

    // One platform request of the session's link, waited for, then its
    // result checked (with the "BLE Result Status" log line of the
    // operation's type). The wait ends early when the link changes, and a
    // result that arrives for a link that is gone fails with 605. A wait
    // that ends without the result cancels the request.
    template <class Result>
    static Status Request(BleEngine& engine, const Session& session, LogType type,
                          const std::function<void(platform::Completion<Result>)>& start, Result& out)
    {
        if (Status status = Check(engine, session); !status.ok())
            return status;
        struct Slot {
            bool done = false;
            Result value{};
        };
        auto slot = std::make_shared<Slot>();
        const platform::Completion<Result> done([slot](Result result) {
            slot->value = std::move(result);
            slot->done = true;
        });
        start(done);
        const Status waited = WaitUntil(engine.loop_, engine.CurrentWaitOptions(), [&] {
            return slot->done || !Check(engine, session).ok();
        });
        // Nobody waits for it any more: the backend drops the request.
        if (!slot->done)
            done.Cancel();
        if (Status status = Check(engine, session); !status.ok())
            return status;
        if (!waited.ok())
            return waited;
        out = std::move(slot->value);
        if (Status status = engine.CheckResult(out, type); !status.ok())
            return status;
        return Check(engine, session);
    }

    // Platform handlers (values, advertisements, link and scan changes)
    // run through here: nested too deep inside host calls, they wait for
    // an outer round.
    static bool Holding(const BleEngine& engine);
    static void Hold(BleEngine& engine, std::function<void()> handler);
    template <class Handler>
    static void Deliver(BleEngine& engine, Handler&& handler)
    {
        if (Holding(engine))
            Hold(engine, std::function<void()>(std::forward<Handler>(handler)));
        else
            handler();
    }

    // Connection.
    static void ReleaseDevice(BleEngine& engine);
    static void OnConnectionStatusChanged(BleEngine& engine);
    static void OnNameChanged(BleEngine& engine);
    static void OnServicesChanged(BleEngine& engine, const std::string& changedServices);

    // Discovery. `found` (optional) receives the services the request
    // returned, in result order.
    static Status DiscoverRootServices(BleEngine& engine, const Session& session, const std::vector<Uuid>& uuids,
                                       std::vector<ServicePtr>* found);
    static Status DiscoverIncludedServices(BleEngine& engine, const Session& session, const ServicePtr& parent,
                                           const std::vector<Uuid>& uuids, std::vector<ServicePtr>* found);
    static Status DiscoverCharacteristicsOf(BleEngine& engine, const Session& session, const ServicePtr& service,
                                            const std::vector<Uuid>& uuids);
    static Status DiscoverDescriptorsOf(BleEngine& engine, const Session& session, const ServiceRecord& service,
                                        const CharacteristicPtr& characteristic);
    static Status AddServices(BleEngine& engine, const Session& session,
                              const std::vector<std::shared_ptr<platform::GattService>>& services,
                              const ServicePtr& parent, std::vector<ServicePtr>* found);
    static void LogDiscovery(BleEngine& engine, LogLevel level, std::string message)
    {
        engine.Log(level, LogType::Discovery, std::move(message));
    }
    static void RaiseDiscovered(BleEngine& engine, short gattType, std::string serviceId,
                                std::string characteristicId, std::string descriptorId, std::string uuid,
                                std::string description);

    // Values and subscriptions.
    // A value of the characteristic with this handle, received on the link
    // `generation`; dropped when the link has changed since.
    static void OnValueChanged(BleEngine& engine, std::uint16_t handle, const platform::Bytes& value,
                               std::uint64_t generation);
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
    // The record's details, asked for once and kept (see the record).
    static Status EnsureDetails(BleEngine& engine, CharacteristicRecord& record);

    // Scanning.
    static void OnAdvertisementReceived(BleEngine& engine, const platform::AdvertisementReceived& received);
    static void OnScanStopped(BleEngine& engine, platform::BluetoothError error, bool aborted);
    static bool WatcherRunning(const BleEngine& engine);
    // The device object for an address, asked from inside an Advertisement
    // event; null when there is none, on failure, or while another look-up
    // is under way.
    static std::shared_ptr<platform::Device> LookUpDevice(BleEngine& engine, std::uint64_t address);
    static std::string QueriedName(BleEngine& engine, std::uint64_t address);
};

}  // namespace vornik
