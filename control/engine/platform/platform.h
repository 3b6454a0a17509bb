// The Bluetooth LE operations the engine relies on, and nothing more. A
// backend (the simulated radio, a real stack) implements these classes.
//
// Threading: every call is made on the control's thread. Completions and
// event handlers are never run inside the call that starts them; the backend
// queues them and runs them from Dispatch(), which the engine calls from its
// wait loop on the control's thread. PollDescriptors() become readable when
// Dispatch() has work to do.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform_types.h"

namespace vornik::platform {

using Bytes = std::vector<std::uint8_t>;

// How a request's result comes back, called like a function. Copies
// share one state. When the engine stops waiting without the result (its
// deadline, an interrupt, a changed link, the control closing) it calls
// Cancel(): the handlers a backend gave OnCancel() run at once and drop the
// request's work (a bus call, a scheduled answer), and calling the
// completion from then on does nothing. All on the control's thread.
template <class Result>
class Completion {
public:
    Completion() = default;
    // Implicit, so lambdas convert as they did to a plain function.
    template <class Function, class = std::enable_if_t<!std::is_same_v<std::decay_t<Function>, Completion> &&
                                                       std::is_invocable_v<Function&, Result>>>
    Completion(Function&& run)
        : state_(std::make_shared<State>())
    {
        state_->run = std::function<void(Result)>(std::forward<Function>(run));
    }

    explicit operator bool() const { return state_ && state_->run; }

    void operator()(Result result) const
    {
        if (!state_ || state_->cancelled || !state_->run)
            return;
        // The run may drop the last other copy: keep the state alive.
        const std::shared_ptr<State> state = state_;
        state->onCancel.clear();
        state->run(std::move(result));
    }

    bool Cancelled() const { return state_ && state_->cancelled; }

    // A backend's way to drop the request's work; runs at once when the
    // request is cancelled already. Forgotten once the result is in.
    void OnCancel(std::function<void()> drop) const
    {
        if (!state_ || !drop)
            return;
        if (state_->cancelled)
            drop();
        else
            state_->onCancel.push_back(std::move(drop));
    }

    // The engine's side. Does nothing once cancelled.
    void Cancel() const
    {
        if (!state_ || state_->cancelled)
            return;
        state_->cancelled = true;
        std::vector<std::function<void()>> drops;
        drops.swap(state_->onCancel);
        for (auto& drop : drops)
            drop();
    }

private:
    struct State {
        std::function<void(Result)> run;
        bool cancelled = false;
        std::vector<std::function<void()>> onCancel;
    };
    std::shared_ptr<State> state_;
};

enum class GattStatus : int { Success = 0, Unreachable = 1, ProtocolError = 2, AccessDenied = 3 };

struct GattResult {
    GattStatus status = GattStatus::Success;
    std::optional<std::uint8_t> protocolError;  // ATT error code when the server refused
    // The stack's own words for a failure (its error name and message),
    // for the log; empty on success.
    std::string detail;
};

struct ValueResult : GattResult {
    Bytes value;
};

enum class CccdValue : std::uint16_t { None = 0, Notify = 1, Indicate = 2 };

struct CccdResult : GattResult {
    CccdValue value = CccdValue::None;
};

template <class Object>
struct ListResult : GattResult {
    std::vector<std::shared_ptr<Object>> objects;  // in server (handle) order
};

enum class CacheMode { Cached, Uncached };
enum class WriteOption { WithResponse, WithoutResponse };

// Characteristic property bits as the platform reports them.
namespace prop {
inline constexpr std::uint16_t kBroadcast = 0x0001;
inline constexpr std::uint16_t kRead = 0x0002;
inline constexpr std::uint16_t kWriteWithoutResponse = 0x0004;
inline constexpr std::uint16_t kWrite = 0x0008;
inline constexpr std::uint16_t kNotify = 0x0010;
inline constexpr std::uint16_t kIndicate = 0x0020;
inline constexpr std::uint16_t kAuthenticatedSignedWrites = 0x0040;
inline constexpr std::uint16_t kExtendedProperties = 0x0080;
inline constexpr std::uint16_t kReliableWrites = 0x0100;
inline constexpr std::uint16_t kWritableAuxiliaries = 0x0200;
}  // namespace prop

struct PresentationFormat {
    std::uint8_t formatType = 0;
    std::int8_t exponent = 0;
    Uuid unit;
};

// A characteristic's user description and presentation formats (in server
// order). One request answers both: a stack learns them by reading the
// descriptors, and a characteristic without them has empty details.
struct CharacteristicDetails {
    std::vector<PresentationFormat> presentationFormats;
    std::string userDescription;
};

struct DetailsResult : GattResult {
    CharacteristicDetails details;
};

class GattDescriptor {
public:
    virtual ~GattDescriptor() = default;
    virtual std::uint16_t AttributeHandle() const = 0;
    virtual Uuid GetUuid() const = 0;
    virtual void ReadValue(CacheMode mode, Completion<ValueResult> done) = 0;
    virtual void WriteValue(Bytes value, Completion<GattResult> done) = 0;
};

class GattCharacteristic {
public:
    using ValueChangedHandler = std::function<void(GattCharacteristic& sender, const Bytes& value)>;

    virtual ~GattCharacteristic() = default;
    // The characteristic's value handle (its declaration handle + 1), in
    // every backend: object Ids and value handlers are keyed by it, so two
    // backends name the same characteristic alike.
    virtual std::uint16_t AttributeHandle() const = 0;
    virtual Uuid GetUuid() const = 0;
    // Known without a request.
    virtual std::uint16_t Properties() const = 0;
    // Reads the user description and presentation format descriptors as
    // the server holds them now; a failed read fails the request.
    virtual void GetDetails(Completion<DetailsResult> done) = 0;

    // Uncached; all descriptors, or those of one UUID.
    virtual void GetDescriptors(std::optional<Uuid> uuid, Completion<ListResult<GattDescriptor>> done) = 0;
    virtual void ReadValue(CacheMode mode, Completion<ValueResult> done) = 0;
    virtual void WriteValue(Bytes value, WriteOption option, Completion<GattResult> done) = 0;
    virtual void ReadCccd(Completion<CccdResult> done) = 0;
    // Turns notifications or indications on (the kind asked for is a wish:
    // a stack may choose itself where the characteristic offers both, as
    // BlueZ does) or off (None). A successful result's value says what is
    // on now. Values arrive only through the value-changed handler, never
    // as the answer of a ReadValue.
    virtual void WriteCccd(CccdValue value, Completion<CccdResult> done) = 0;
    // One handler per object; an empty function removes it.
    virtual void SetValueChangedHandler(ValueChangedHandler handler) = 0;
};

class GattService {
public:
    virtual ~GattService() = default;
    virtual std::uint16_t AttributeHandle() const = 0;
    virtual Uuid GetUuid() const = 0;
    // Uncached; all, or those of one UUID.
    virtual void GetIncludedServices(std::optional<Uuid> uuid, Completion<ListResult<GattService>> done) = 0;
    virtual void GetCharacteristics(std::optional<Uuid> uuid, Completion<ListResult<GattCharacteristic>> done) = 0;
};

enum class ConnectionStatus { Disconnected = 0, Connected = 1 };
enum class AddressType { Public = 0, Random = 1 };

class Device {
public:
    virtual ~Device() = default;
    virtual std::uint64_t Address() const = 0;  // 48 bits
    virtual AddressType GetAddressType() const = 0;
    virtual std::string Name() const = 0;
    virtual ConnectionStatus GetConnectionStatus() const = 0;
    // Opens the link (a device object alone is no connection); Success
    // only once the link is up, Unreachable when the device does not
    // answer. Services are resolved afterwards, by the requests below.
    virtual void Connect(Completion<GattResult> done) = 0;
    // Closes the link this client opened; completes when it is down.
    virtual void Disconnect(Completion<GattResult> done) = 0;
    // Uncached; all, or those of one UUID.
    virtual void GetGattServices(std::optional<Uuid> uuid, Completion<ListResult<GattService>> done) = 0;
    // One handler each; an empty function removes it.
    virtual void SetConnectionStatusChangedHandler(std::function<void()> handler) = 0;
    virtual void SetNameChangedHandler(std::function<void()> handler) = 0;
    // The argument is the platform's text for the changed service.
    virtual void SetGattServicesChangedHandler(std::function<void(const std::string&)> handler) = 0;
};

class Adapter {
public:
    virtual ~Adapter() = default;
    virtual bool IsLowEnergySupported() const = 0;
};

enum class WatcherStatus { Created = 0, Started = 1, Stopping = 2, Stopped = 3, Aborted = 4 };
enum class ScanningMode { Passive = 0, Active = 1 };
enum class AdvertisementType {
    ConnectableUndirected = 0,
    ConnectableDirected = 1,
    ScannableUndirected = 2,
    NonConnectableUndirected = 3,
    ScanResponse = 4,
};
enum class BluetoothError {
    Success = 0,
    RadioNotAvailable = 1,
    ResourceInUse = 2,
    DeviceNotConnected = 3,
    OtherError = 4,
    DisabledByPolicy = 5,
    NotSupported = 6,
    DisabledByUser = 7,
    ConsentRequired = 8,
    TransportNotSupported = 9,
};

// AD type codes used by the engine.
namespace adtype {
inline constexpr std::uint8_t kFlags = 0x01;
inline constexpr std::uint8_t kIncomplete16 = 0x02;
inline constexpr std::uint8_t kComplete16 = 0x03;
inline constexpr std::uint8_t kIncomplete32 = 0x04;
inline constexpr std::uint8_t kComplete32 = 0x05;
inline constexpr std::uint8_t kIncomplete128 = 0x06;
inline constexpr std::uint8_t kComplete128 = 0x07;
inline constexpr std::uint8_t kShortName = 0x08;
inline constexpr std::uint8_t kCompleteName = 0x09;
inline constexpr std::uint8_t kTxPower = 0x0A;
inline constexpr std::uint8_t kSolicited16 = 0x14;
inline constexpr std::uint8_t kSolicited128 = 0x15;
inline constexpr std::uint8_t kServiceData16 = 0x16;
inline constexpr std::uint8_t kSolicited32 = 0x1F;
inline constexpr std::uint8_t kServiceData32 = 0x20;
inline constexpr std::uint8_t kServiceData128 = 0x21;
inline constexpr std::uint8_t kManufacturerData = 0xFF;
}  // namespace adtype

struct DataSection {
    std::uint8_t type = 0;
    Bytes data;
};

struct ManufacturerData {
    std::uint16_t companyId = 0;
    Bytes data;
};

struct ServiceData {
    Uuid uuid;
    Bytes data;
};

// A received advertisement as the platform parses it. dataSections holds
// every AD structure of the packet, including those parsed into the fields;
// absent when the stack gives only the fields (the engine then rebuilds the
// sections from them).
struct Advertisement {
    std::string localName;
    std::optional<std::uint8_t> flags;
    std::vector<Uuid> serviceUuids;
    std::optional<std::int8_t> txPower;
    std::vector<ServiceData> serviceData;
    std::vector<ManufacturerData> manufacturerData;
    std::optional<std::vector<DataSection>> dataSections;
};

struct AdvertisementReceived {
    std::uint64_t address = 0;
    std::int16_t rawSignalStrengthInDBm = 0;
    // Absent when the stack does not say (the engine then takes it for a
    // connectable undirected advertisement, not a scan response).
    std::optional<AdvertisementType> type;
    Advertisement advertisement;
};

class AdvertisementWatcher {
public:
    virtual ~AdvertisementWatcher() = default;
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual WatcherStatus Status() const = 0;
    virtual void SetScanningMode(ScanningMode mode) = 0;
    virtual ScanningMode GetScanningMode() const = 0;
    // Only advertisements listing every one of these service UUIDs should
    // pass; an empty list lets every advertisement pass. A backend may let
    // more through (BlueZ passes an advertisement listing any one of them):
    // the engine applies the rule itself on what arrives.
    virtual void SetFilter(std::vector<Uuid> serviceUuids) = 0;
    virtual void SetReceivedHandler(std::function<void(const AdvertisementReceived&)> handler) = 0;
    virtual void SetStoppedHandler(std::function<void(BluetoothError)> handler) = 0;
};

class Platform {
public:
    virtual ~Platform() = default;
    // Null when there is no adapter.
    virtual void GetDefaultAdapter(Completion<std::shared_ptr<Adapter>> done) = 0;
    virtual std::shared_ptr<AdvertisementWatcher> CreateAdvertisementWatcher() = 0;
    // Null when the address is unknown.
    virtual void DeviceFromAddress(std::uint64_t address, Completion<std::shared_ptr<Device>> done) = 0;

    // The control's Timeout in seconds (0: no limit). A backend's own
    // deadlines (bus calls, waiting for a link to resolve) are never
    // shorter, so the control's wait is what ends a request.
    virtual void SetRequestTimeout(int seconds) { (void)seconds; }

    // Descriptors that become readable when Dispatch() has work; fixed for
    // the platform's lifetime.
    virtual std::vector<int> PollDescriptors() const = 0;
    // Runs the completions and handlers that are due, on the calling thread.
    virtual void Dispatch() = 0;
};

}  // namespace vornik::platform
