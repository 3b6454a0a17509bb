// A virtual BLE peripheral: its advertisement, its GATT database with
// deterministic attribute handles, its behaviour, and the knobs tests turn
// (latency, ATT errors, link loss) and read (request counters).
//
// Build the database before the radio is used. Notify, Indicate, DropLink,
// RestoreLink, SetName and ChangeServices may be called from any thread;
// everything else on the control's thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "../gatt_constants.h"
#include "../platform.h"

namespace vornik::sim {

using platform::Bytes;

class SimCore;
class SimPeripheral;

// Every kind of request the radio answers, for latency, faults and counters.
enum class SimOp {
    Any,
    DefaultAdapter,
    DeviceFromAddress,
    DiscoverServices,
    DiscoverIncludedServices,
    DiscoverCharacteristics,
    DiscoverDescriptors,
    ReadValue,
    ReadCachedValue,
    WriteValue,
    WriteWithoutResponse,
    ReadDescriptor,
    WriteDescriptor,
    ReadCccd,
    WriteCccd,
    GetDetails,
    Connect,
    Disconnect,
};

// A failure the next matching requests get instead of an answer.
struct SimFault {
    SimOp op = SimOp::Any;
    std::uint16_t handle = 0; // 0: any handle
    platform::GattStatus status = platform::GattStatus::ProtocolError;
    std::uint8_t attError = 0; // with ProtocolError
    int count = 1;             // -1: every time
};

// Peripheral behaviour as code. Runs on the control's thread.
class SimBehaviour {
public:
    virtual ~SimBehaviour() = default;
    // Before a read of a characteristic or descriptor is answered: may set
    // the value; a non-zero ATT error refuses the read.
    virtual std::uint8_t OnRead(SimPeripheral& /*peripheral*/, std::uint16_t /*handle*/) { return 0; }
    // After a write was stored: may answer (set values, notify); a non-zero
    // ATT error refuses it and restores the old value.
    virtual std::uint8_t OnWrite(SimPeripheral& /*peripheral*/, std::uint16_t /*handle*/, const Bytes& /*value*/,
                                 bool /*withResponse*/)
    {
        return 0;
    }
    // Before a client configuration write takes effect: a non-zero ATT
    // error refuses it and the subscription stays as it was.
    virtual std::uint8_t OnCccdWrite(SimPeripheral& /*peripheral*/, std::uint16_t /*characteristic*/,
                                     std::uint16_t /*value*/)
    {
        return 0;
    }
    virtual void OnCccdChanged(SimPeripheral& /*peripheral*/, std::uint16_t /*characteristic*/, std::uint16_t /*value*/)
    {
    }
    virtual void OnLinkChanged(SimPeripheral& /*peripheral*/, bool /*up*/) { }
};

// The content of one advertising packet (or scan response).
struct SimAdData {
    std::string localName;
    std::optional<std::uint8_t> flags;
    std::vector<Uuid> serviceUuids;
    std::vector<platform::ServiceData> serviceData;
    std::vector<platform::ManufacturerData> manufacturerData;
    std::optional<std::int8_t> txPower;
    // Further AD structures, sent as they are (solicitations, odd sections).
    std::vector<platform::DataSection> extraSections;
};

struct SimAdvertising {
    bool enabled = true;
    platform::AdvertisementType type = platform::AdvertisementType::ConnectableUndirected;
    std::int16_t rssi = -60;
    SimAdData data;
    // Sent as a second packet of type ScanResponse when scanning actively.
    std::optional<SimAdData> scanResponse;
    // Reported as a stack that gives only the parsed fields would: no
    // packet type, no raw sections.
    bool fieldsOnly = false;
};

// The platform's parse of one advertising packet's content.
platform::Advertisement BuildAdvertisement(const SimAdData& data);

struct SimDescriptor {
    std::uint16_t handle = 0;
    Uuid uuid;
    Bytes value;
    bool writable = false;
};

struct SimCharacteristic {
    std::uint16_t declarationHandle = 0;
    std::uint16_t handle = 0; // value handle; what the platform reports
    Uuid uuid;
    std::uint16_t properties = 0;
    Bytes value;
    std::uint16_t cccd = 0;
    std::vector<SimDescriptor> descriptors;
};

struct SimService {
    std::uint16_t handle = 0;
    Uuid uuid;
    bool primary = true;
    std::vector<std::uint16_t> includes;
    std::vector<SimCharacteristic> characteristics;
};

// Descriptor UUIDs with a meaning to the radio.
namespace descriptor_uuid {
inline constexpr std::uint16_t kExtendedProperties = gatt::descriptor::kExtendedProperties;
inline constexpr std::uint16_t kUserDescription = gatt::descriptor::kUserDescription;
inline constexpr std::uint16_t kCccd = gatt::descriptor::kCccd;
inline constexpr std::uint16_t kPresentationFormat = gatt::descriptor::kPresentationFormat;
inline constexpr std::uint16_t kAggregateFormat = gatt::descriptor::kAggregateFormat;
} // namespace descriptor_uuid

class SimPeripheral : public std::enable_shared_from_this<SimPeripheral> {
public:
    SimPeripheral(std::uint64_t address, std::string name,
                  platform::AddressType addressType = platform::AddressType::Public);

    std::uint64_t Address() const { return address_; }
    platform::AddressType GetAddressType() const { return addressType_; }
    std::string Name() const;
    SimAdvertising& Advertising() { return advertising_; }
    const SimAdvertising& Advertising() const { return advertising_; }

    // GATT database. Handles follow the order of the calls unless given:
    // a service takes one, a characteristic two (declaration, value), a
    // descriptor one. Characteristics that notify or indicate get a CCCD.
    std::uint16_t AddService(const Uuid& uuid, bool primary = true, std::uint16_t handle = 0);
    void IncludeService(std::uint16_t service, std::uint16_t included);
    // Returns the value handle.
    std::uint16_t AddCharacteristic(std::uint16_t service, const Uuid& uuid, std::uint16_t properties, Bytes value = {},
                                    std::uint16_t handle = 0);
    std::uint16_t AddDescriptor(std::uint16_t characteristic, const Uuid& uuid, Bytes value = {}, bool writable = false,
                                std::uint16_t handle = 0);
    std::uint16_t AddUserDescription(std::uint16_t characteristic, const std::string& text, bool writable = false);
    std::uint16_t AddPresentationFormat(std::uint16_t characteristic, std::uint8_t format, std::int8_t exponent,
                                        std::uint16_t unit);
    std::uint16_t AddAggregateFormat(std::uint16_t characteristic, const std::vector<std::uint16_t>& formats);
    std::uint16_t AddExtendedProperties(std::uint16_t characteristic, std::uint16_t bits);

    const std::vector<SimService>& Services() const { return services_; }
    SimService* FindService(std::uint16_t handle);
    SimCharacteristic* FindCharacteristic(std::uint16_t handle);
    SimDescriptor* FindDescriptor(std::uint16_t handle, SimCharacteristic** owner = nullptr);

    // Values by handle (characteristic value or descriptor).
    Bytes Value(std::uint16_t handle);
    void SetValue(std::uint16_t handle, Bytes value);
    std::uint16_t Cccd(std::uint16_t characteristic);
    // The value a client's CCCD write stores (also through the descriptor).
    void SetCccd(std::uint16_t characteristic, std::uint16_t value);
    // Which kind a client's subscription turns on. Asked: the kind the
    // client asks for. Stack: notify where the characteristic offers it,
    // else indicate, whatever was asked (as BlueZ chooses). Nothing: the
    // write succeeds but turns nothing on (a faulty stack).
    enum class CccdChoice { Asked, Stack, Nothing };
    void SetCccdChoice(CccdChoice choice);
    // The kind a subscription to chr turns on instead of the asked one;
    // none when the client's wish holds.
    std::optional<platform::CccdValue> StackChosenCccd(const SimCharacteristic& chr) const;

    void SetBehaviour(std::shared_ptr<SimBehaviour> behaviour) { behaviour_ = std::move(behaviour); }
    SimBehaviour* Behaviour() const { return behaviour_.get(); }

    // Latency of every request, or of one kind.
    void SetLatency(std::chrono::milliseconds latency);
    void SetLatency(SimOp op, std::chrono::milliseconds latency);
    std::chrono::milliseconds Latency(SimOp op) const;
    void InjectFault(const SimFault& fault);
    // Takes the first matching fault (and uses up one of its count).
    std::optional<SimFault> TakeFault(SimOp op, std::uint16_t handle);

    // Pushes a value to subscribed clients (when the link is up and the
    // CCCD allows it). Any thread.
    void Notify(std::uint16_t characteristic, Bytes value);
    // Notify every period with what next() returns; stop with StopTimer.
    std::uint64_t NotifyEvery(std::chrono::milliseconds period, std::uint16_t characteristic,
                              std::function<Bytes()> next);
    void StopTimer(std::uint64_t timer);
    // Runs task on the radio's clock after delay (control's thread); nothing
    // before the peripheral is added to a radio. Any thread.
    void After(std::chrono::milliseconds delay, std::function<void()> task);

    // Link loss and return (subscriptions survive, as with a bonded
    // client); name and services changes. Any thread.
    void DropLink();
    void RestoreLink();
    bool LinkUp() const;
    void SetName(std::string name);
    void ChangeServices(std::string changedServiceText);

    // Requests asked of this peripheral: all of a kind, or of one handle.
    int Count(SimOp op, std::uint16_t handle = 0) const;
    void CountRequest(SimOp op, std::uint16_t handle);
    // Requests whose answer was dropped unsent because the client stopped
    // waiting for it: all, or of one kind.
    int CancelledRequests(SimOp op = SimOp::Any) const;
    void CountCancelled(SimOp op);
    void ResetCounters();

private:
    friend class SimCore;
    std::uint16_t TakeHandle(std::uint16_t wanted, int count);
    SimCharacteristic& CharacteristicOrThrow(std::uint16_t handle);

    std::uint64_t address_;
    platform::AddressType addressType_;
    mutable std::mutex mutex_; // name, link, faults, counters
    std::string name_;
    bool linkUp_ = true;
    CccdChoice cccdChoice_ = CccdChoice::Asked;
    SimAdvertising advertising_;
    std::vector<SimService> services_;
    std::uint16_t nextHandle_ = 1;
    std::shared_ptr<SimBehaviour> behaviour_;
    std::chrono::milliseconds latency_{0};
    std::map<SimOp, std::chrono::milliseconds> opLatency_;
    std::vector<SimFault> faults_;
    std::map<std::pair<SimOp, std::uint16_t>, int> counters_;
    std::map<SimOp, int> cancelled_;
    SimCore* core_ = nullptr; // set when added to a radio
};

} // namespace vornik::sim
