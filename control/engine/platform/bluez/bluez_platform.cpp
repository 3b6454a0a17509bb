#include "bluez_platform.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <utility>

#include "bluez_core.h"
#include "bluez_gatt.h"
#include "bluez_text.h"

namespace vornik::bluez {
namespace {

using namespace platform;

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.size() > prefix.size() && text.compare(0, prefix.size(), prefix) == 0 && text[prefix.size()] == '/';
}

// ----------------------------------------------------------------------

class BluezDevice final : public Device, public Listener, public std::enable_shared_from_this<BluezDevice> {
public:
    BluezDevice(std::shared_ptr<Core> core, std::string path, std::uint64_t address)
        : core_(std::move(core))
        , path_(std::move(path))
        , address_(address)
    {
    }
    ~BluezDevice() override
    {
        if (resolveTimer_)
            core_->CancelTimer(resolveTimer_);
    }

    std::uint64_t Address() const override { return address_; }
    AddressType GetAddressType() const override
    {
        return Get<std::string>(Props(), "AddressType").value_or("public") == "random" ? AddressType::Random
                                                                                       : AddressType::Public;
    }
    std::string Name() const override { return Get<std::string>(Props(), "Name").value_or(""); }
    ConnectionStatus GetConnectionStatus() const override
    {
        return Get<bool>(Props(), "Connected").value_or(false) ? ConnectionStatus::Connected
                                                               : ConnectionStatus::Disconnected;
    }

    void Connect(Completion<GattResult> done) override
    {
        auto self = shared_from_this();
        DropOnCancel(done, core_->Call(path_, kDeviceInterface, "Connect", nullptr,
                                       [self, done](sdbus::MethodReply*, const CallError* error) {
                                           if (done.Cancelled())
                                               return;
                                           if (error && error->name != "org.bluez.Error.AlreadyConnected") {
                                               done(Failed(*error, Request::Other));
                                               return;
                                           }
                                           self->AwaitResolved(done);
                                       }));
        // No longer waited for: neither is the resolution.
        std::weak_ptr<BluezDevice> weak = self;
        done.OnCancel([weak] {
            if (auto device = weak.lock())
                device->DropCancelledWaits();
        });
    }

    void Disconnect(Completion<GattResult> done) override
    {
        auto self = shared_from_this();
        DropOnCancel(done,
                     core_->Call(path_, kDeviceInterface, "Disconnect", nullptr,
                                 [self, done](sdbus::MethodReply*, const CallError* error) {
                                     // Down already, or gone: what was asked for.
                                     if (!error || error->name == "org.bluez.Error.NotConnected" || !self->Props())
                                         done(Ok());
                                     else
                                         done(Failed(*error, Request::Other));
                                 }));
    }

    void GetGattServices(std::optional<Uuid> uuid, Completion<ListResult<GattService>> done) override
    {
        auto self = shared_from_this();
        core_->Post([self, uuid, done] {
            if (self->GetConnectionStatus() != ConnectionStatus::Connected) {
                done(WithStatus<ListResult<GattService>>(Unreachable("The device is not connected.")));
                return;
            }
            std::vector<std::string> primary;
            for (const std::string& path : self->core_->Children(kServiceInterface, "Device", self->path_))
                if (Get<bool>(self->core_->PropertiesOf(path, kServiceInterface), "Primary").value_or(true))
                    primary.push_back(path);
            ListResult<GattService> result;
            for (auto& made : MakeServices(self->core_, std::move(primary), uuid))
                result.objects.push_back(std::move(made));
            done(std::move(result));
        });
    }

    void SetConnectionStatusChangedHandler(std::function<void()> handler) override
    {
        connectionHandler_ = std::move(handler);
    }
    void SetNameChangedHandler(std::function<void()> handler) override { nameHandler_ = std::move(handler); }
    void SetGattServicesChangedHandler(std::function<void(const std::string&)> handler) override
    {
        servicesHandler_ = std::move(handler);
    }

    void OnChanged(const std::string& path, const std::string& interface, const bluez::Properties& changed) override
    {
        if (path != path_ || interface != kDeviceInterface)
            return;
        auto keep = shared_from_this();
        if (Get<bool>(&changed, "ServicesResolved").value_or(false))
            FinishResolving(Ok());
        if (auto connected = Get<bool>(&changed, "Connected")) {
            if (!*connected)
                FinishResolving(Unreachable("The link went down while services were resolved."));
            Call(connectionHandler_);
        }
        if (changed.count("Name"))
            Call(nameHandler_);
    }

    void OnAdded(const std::string& path, const Interfaces& interfaces) override
    {
        if (StartsWith(path, path_) && interfaces.count(kServiceInterface) && servicesHandler_ &&
            GetConnectionStatus() == ConnectionStatus::Connected) {
            auto keep = shared_from_this();
            auto handler = servicesHandler_;
            handler(FormatUuid(UuidOf(&interfaces.at(kServiceInterface))));
        }
    }

    void OnRemoved(const std::string& path, const std::vector<std::string>& interfaces) override
    {
        auto keep = shared_from_this();
        const auto has = [&](const char* name) {
            return std::find(interfaces.begin(), interfaces.end(), name) != interfaces.end();
        };
        if (path == path_ && has(kDeviceInterface)) {
            // Removed while held: the link is down for good.
            FinishResolving(Unreachable("The device was removed."));
            Call(connectionHandler_);
        } else if (StartsWith(path, path_) && has(kServiceInterface) && servicesHandler_) {
            auto handler = servicesHandler_;
            handler(std::string());
        }
    }

private:
    const bluez::Properties* Props() const { return core_->PropertiesOf(path_, kDeviceInterface); }

    static void Call(const std::function<void()>& handler)
    {
        if (handler) {
            auto copy = handler;
            copy();
        }
    }

    // Connected is not enough: the services are usable once BlueZ says
    // they are resolved.
    void AwaitResolved(Completion<GattResult> done)
    {
        if (Get<bool>(Props(), "ServicesResolved").value_or(false)) {
            done(Ok());
            return;
        }
        resolving_.push_back(std::move(done));
        if (resolveTimer_ || !core_->WaitLimit())
            return;
        std::weak_ptr<BluezDevice> weak = weak_from_this();
        resolveTimer_ = core_->After(*core_->WaitLimit(), [weak] {
            if (auto self = weak.lock()) {
                self->resolveTimer_ = 0;
                self->FinishResolving(Unreachable("The services were not resolved in time."));
            }
        });
    }

    // Cancelled completions leave the resolution wait; its deadline goes
    // with the last one.
    void DropCancelledWaits()
    {
        std::erase_if(resolving_, [](const Completion<GattResult>& done) { return done.Cancelled(); });
        if (resolving_.empty() && resolveTimer_) {
            core_->CancelTimer(resolveTimer_);
            resolveTimer_ = 0;
        }
    }

    void FinishResolving(const GattResult& result)
    {
        if (resolveTimer_) {
            core_->CancelTimer(resolveTimer_);
            resolveTimer_ = 0;
        }
        std::vector<Completion<GattResult>> waiting;
        waiting.swap(resolving_);
        for (auto& done : waiting)
            done(result);
    }

    std::shared_ptr<Core> core_;
    std::string path_;
    std::uint64_t address_;
    std::function<void()> connectionHandler_;
    std::function<void()> nameHandler_;
    std::function<void(const std::string&)> servicesHandler_;
    std::vector<Completion<GattResult>> resolving_;
    std::uint64_t resolveTimer_ = 0;
};

// ----------------------------------------------------------------------

class BluezAdapter final : public Adapter {
public:
    explicit BluezAdapter(bool lowEnergy)
        : lowEnergy_(lowEnergy)
    {
    }
    bool IsLowEnergySupported() const override { return lowEnergy_; }

private:
    bool lowEnergy_;
};

class BluezWatcher final : public AdvertisementWatcher,
                           public Listener,
                           public std::enable_shared_from_this<BluezWatcher> {
public:
    explicit BluezWatcher(std::shared_ptr<Core> core)
        : core_(std::move(core))
    {
    }

    void Start() override
    {
        if (starting_ || status_ == WatcherStatus::Started || status_ == WatcherStatus::Stopping)
            return;
        starting_ = true;
        stopAsked_ = false;
        status_ = WatcherStatus::Created;
        auto self = shared_from_this();
        core_->WhenReady([self] { self->BeginDiscovery(); });
    }

    void Stop() override
    {
        if (starting_) {
            stopAsked_ = true;
            return;
        }
        if (status_ != WatcherStatus::Started)
            return;
        status_ = WatcherStatus::Stopping;
        auto self = shared_from_this();
        core_->Call(adapter_, kAdapterInterface, "StopDiscovery", nullptr,
                    [self](sdbus::MethodReply*, const CallError*) {
                        // Failing to stop means the adapter stopped anyway
                        // (gone, switched off): the scan is over either way.
                        if (self->status_ == WatcherStatus::Stopping)
                            self->Finish(WatcherStatus::Stopped, BluetoothError::Success);
                    });
    }

    WatcherStatus Status() const override { return status_; }
    // BlueZ scans actively only; the mode is kept for the engine's sake.
    void SetScanningMode(ScanningMode mode) override { mode_ = mode; }
    ScanningMode GetScanningMode() const override { return mode_; }
    void SetFilter(std::vector<Uuid> serviceUuids) override { filter_ = std::move(serviceUuids); }
    void SetReceivedHandler(std::function<void(const AdvertisementReceived&)> handler) override
    {
        receivedHandler_ = std::move(handler);
    }
    void SetStoppedHandler(std::function<void(BluetoothError)> handler) override
    {
        stoppedHandler_ = std::move(handler);
    }

    void OnChanged(const std::string& path, const std::string& interface, const bluez::Properties& changed) override
    {
        if (status_ != WatcherStatus::Started)
            return;
        if (path == adapter_ && interface == kAdapterInterface) {
            if (!Get<bool>(&changed, "Powered").value_or(true))
                Finish(WatcherStatus::Aborted, BluetoothError::RadioNotAvailable);
            return;
        }
        static const std::array<const char*, 6> kAdvertised{
            "RSSI", "ManufacturerData", "ServiceData", "TxPower", "Name", "UUIDs"};
        if (interface == kDeviceInterface && StartsWith(path, adapter_) &&
            std::any_of(kAdvertised.begin(), kAdvertised.end(), [&](const char* name) { return changed.count(name); }))
            Report(path);
    }

    void OnAdded(const std::string& path, const Interfaces& interfaces) override
    {
        if (status_ == WatcherStatus::Started && interfaces.count(kDeviceInterface) && StartsWith(path, adapter_))
            Report(path);
    }

    void OnRemoved(const std::string& path, const std::vector<std::string>&) override
    {
        if (status_ == WatcherStatus::Started && path == adapter_ && !core_->Object(adapter_))
            Finish(WatcherStatus::Aborted, BluetoothError::RadioNotAvailable);
    }

private:
    void BeginDiscovery()
    {
        adapter_ = core_->AdapterPath();
        if (adapter_.empty()) {
            Abort(BluetoothError::RadioNotAvailable);
            return;
        }
        Options filter{{"Transport", sdbus::Variant(std::string("le"))}, {"DuplicateData", sdbus::Variant(true)}};
        if (!filter_.empty()) {
            std::vector<std::string> uuids;
            for (const Uuid& uuid : filter_)
                uuids.push_back(FormatUuid(uuid));
            filter["UUIDs"] = sdbus::Variant(uuids);
        }
        auto self = shared_from_this();
        core_->Call(
            adapter_, kAdapterInterface, "SetDiscoveryFilter", [&](sdbus::MethodCall& call) { call << filter; },
            [self](sdbus::MethodReply*, const CallError* error) {
                if (error) {
                    self->Abort(BluetoothError::OtherError);
                    return;
                }
                self->core_->Call(self->adapter_, kAdapterInterface, "StartDiscovery", nullptr,
                                  [self](sdbus::MethodReply*, const CallError* failed) {
                                      // InProgress: this client's discovery runs already.
                                      if (failed && failed->name != "org.bluez.Error.InProgress") {
                                          self->Abort(failed->name == "org.bluez.Error.NotReady"
                                                          ? BluetoothError::RadioNotAvailable
                                                          : BluetoothError::OtherError);
                                          return;
                                      }
                                      self->starting_ = false;
                                      self->status_ = WatcherStatus::Started;
                                      if (self->stopAsked_) {
                                          self->Stop();
                                          return;
                                      }
                                      // Devices heard lately (BlueZ keeps an RSSI only for
                                      // those) are their first advertisements, reported
                                      // after the start itself.
                                      self->core_->After(std::chrono::milliseconds(0), [self] {
                                          for (const std::string& path :
                                               self->core_->Children(kDeviceInterface, "Adapter", self->adapter_))
                                              if (self->status_ == WatcherStatus::Started)
                                                  self->Report(path);
                                      });
                                  });
            });
    }

    void Abort(BluetoothError error)
    {
        starting_ = false;
        Finish(WatcherStatus::Aborted, error);
    }

    void Finish(WatcherStatus status, BluetoothError error)
    {
        status_ = status;
        if (stoppedHandler_) {
            auto keep = shared_from_this();
            auto handler = stoppedHandler_;
            handler(error);
        }
    }

    // BlueZ shows the fields of what it received, merged per device; they
    // are what is reported (see the README).
    void Report(const std::string& path)
    {
        const auto* device = core_->PropertiesOf(path, kDeviceInterface);
        const auto address = ParseAddress(Get<std::string>(device, "Address").value_or(""));
        const auto rssi = Get<std::int16_t>(device, "RSSI");
        if (!address || !rssi || !receivedHandler_)
            return; // known from earlier, not heard in this scan
        AdvertisementReceived received;
        received.address = *address;
        received.rawSignalStrengthInDBm = *rssi;
        // BlueZ tells neither the packet type nor the raw sections.
        Advertisement& fields = received.advertisement;
        if (const auto flags = Get<Bytes>(device, "AdvertisingFlags"); flags && !flags->empty())
            fields.flags = (*flags)[0];
        for (const std::string& text :
             Get<std::vector<std::string>>(device, "UUIDs").value_or(std::vector<std::string>{}))
            if (const auto uuid = ParseUuid(text))
                fields.serviceUuids.push_back(*uuid);
        fields.localName = Get<std::string>(device, "Name").value_or("");
        if (const auto tx = Get<std::int16_t>(device, "TxPower"))
            fields.txPower = static_cast<std::int8_t>(std::clamp<std::int16_t>(*tx, -128, 127));
        using DataMap = std::map<std::string, sdbus::Variant>;
        for (const auto& [text, value] : Get<DataMap>(device, "ServiceData").value_or(DataMap{})) {
            const auto uuid = ParseUuid(text);
            if (uuid && value.containsValueOfType<Bytes>())
                fields.serviceData.push_back(ServiceData{*uuid, value.get<Bytes>()});
        }
        using MakerMap = std::map<std::uint16_t, sdbus::Variant>;
        for (const auto& [company, value] : Get<MakerMap>(device, "ManufacturerData").value_or(MakerMap{}))
            if (value.containsValueOfType<Bytes>())
                fields.manufacturerData.push_back(ManufacturerData{company, value.get<Bytes>()});
        auto keep = shared_from_this();
        auto handler = receivedHandler_;
        handler(received);
    }

    std::shared_ptr<Core> core_;
    std::string adapter_;
    WatcherStatus status_ = WatcherStatus::Created;
    bool starting_ = false;
    bool stopAsked_ = false;
    ScanningMode mode_ = ScanningMode::Passive;
    std::vector<Uuid> filter_;
    std::function<void(const AdvertisementReceived&)> receivedHandler_;
    std::function<void(BluetoothError)> stoppedHandler_;
};

} // namespace

std::unique_ptr<BluezPlatform> BluezPlatform::Open(std::string& error)
{
    auto core = Core::Open(error);
    if (!core)
        return nullptr;
    return std::unique_ptr<BluezPlatform>(new BluezPlatform(std::move(core)));
}

BluezPlatform::BluezPlatform(std::shared_ptr<Core> core)
    : core_(std::move(core))
{
}
BluezPlatform::~BluezPlatform() { core_->Shutdown(); }

void BluezPlatform::GetDefaultAdapter(Completion<std::shared_ptr<Adapter>> done)
{
    core_->WhenReady([core = core_, done] {
        const std::string path = core->AdapterPath();
        if (path.empty()) {
            done(nullptr);
            return;
        }
        // Roles lists "central" on adapters that can be an LE central;
        // older bluetoothd versions do not have it.
        const auto roles = Get<std::vector<std::string>>(core->PropertiesOf(path, kAdapterInterface), "Roles");
        const bool lowEnergy = !roles || std::find(roles->begin(), roles->end(), "central") != roles->end();
        done(std::make_shared<BluezAdapter>(lowEnergy));
    });
}

std::shared_ptr<AdvertisementWatcher> BluezPlatform::CreateAdvertisementWatcher()
{
    auto watcher = std::make_shared<BluezWatcher>(core_);
    core_->Listen(watcher);
    return watcher;
}

void BluezPlatform::DeviceFromAddress(std::uint64_t address, Completion<std::shared_ptr<Device>> done)
{
    core_->WhenReady([core = core_, address, done] {
        const std::string adapter = core->AdapterPath();
        if (done.Cancelled())
            return;
        if (adapter.empty()) {
            done(nullptr);
            return;
        }
        for (const std::string& path : core->Children(kDeviceInterface, "Adapter", adapter)) {
            const auto known = Get<std::string>(core->PropertiesOf(path, kDeviceInterface), "Address");
            if (known && ParseAddress(*known) == address) {
                auto device = std::make_shared<BluezDevice>(core, path, address);
                core->Listen(device);
                done(device);
                return;
            }
        }
        done(nullptr);
    });
}

void BluezPlatform::SetRequestTimeout(int seconds) { core_->SetRequestTimeout(seconds); }

std::vector<int> BluezPlatform::PollDescriptors() const { return core_->PollDescriptors(); }

void BluezPlatform::Dispatch() { core_->Dispatch(); }

std::size_t BluezPlatform::PendingCalls() const { return core_->PendingCalls(); }

} // namespace vornik::bluez
