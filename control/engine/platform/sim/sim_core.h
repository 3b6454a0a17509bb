// Inside the simulated radio: the state shared by the radio and every
// platform object it hands out, and the objects themselves.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sim_peripheral.h"
#include "sim_scheduler.h"

namespace vornik::sim {

enum class SimAdapterState { Present, Missing, NoLowEnergy };

class SimCharacteristicObject;
class SimDeviceObject;
class SimWatcher;

class SimCore : public std::enable_shared_from_this<SimCore> {
public:
    SimScheduler scheduler;

    void AddPeripheral(const std::shared_ptr<SimPeripheral>& peripheral);
    std::shared_ptr<SimPeripheral> Peripheral(std::uint64_t address) const;
    std::vector<std::shared_ptr<SimPeripheral>> Peripherals() const;

    SimAdapterState AdapterState() const;
    void SetAdapterState(SimAdapterState state);

    // Answers a request after the peripheral's latency: Unreachable while
    // the link is down, an injected fault if one matches, else answer().
    // Failures carry the radio's words in detail. A cancelled request's
    // answer is dropped unsent and counted on the peripheral.
    template <class Result>
    void Request(const std::shared_ptr<SimPeripheral>& peripheral, SimOp op, std::uint16_t handle,
                 std::function<Result()> answer, platform::Completion<Result> done)
    {
        peripheral->CountRequest(op, handle);
        const platform::Completion<Result> cancellable = done;
        const auto key = scheduler.After(peripheral->Latency(op), [peripheral, op, handle, answer = std::move(answer),
                                                                   done = std::move(done)] {
            Result result{};
            if (!peripheral->LinkUp()) {
                result.status = platform::GattStatus::Unreachable;
                result.detail = kLinkDownDetail;
            } else if (auto fault = peripheral->TakeFault(op, handle)) {
                result.status = fault->status;
                if (fault->status == platform::GattStatus::ProtocolError)
                    result.protocolError = fault->attError;
                result.detail = InjectedDetail(*fault);
            } else {
                result = answer();
                // A link that dropped while the server answered leaves the
                // request unanswered.
                if (!peripheral->LinkUp()) {
                    result = Result{};
                    result.status = platform::GattStatus::Unreachable;
                    result.detail = kLinkDownDetail;
                }
            }
            done(std::move(result));
        });
        DropOnCancel(cancellable, key, peripheral, op);
    }

    // Registers with a request's completion how to drop its scheduled
    // answer; the cancellation is counted on the peripheral (if any) and,
    // for requests to the radio itself, here.
    template <class Result>
    void DropOnCancel(const platform::Completion<Result>& done, SimScheduler::TaskKey key,
                      const std::shared_ptr<SimPeripheral>& peripheral, SimOp op)
    {
        done.OnCancel(Dropper(key, peripheral, op));
    }
    // Cancelled requests to the radio itself (adapter and device look-ups).
    int CancelledRequests(SimOp op) const;

    static constexpr const char* kLinkDownDetail = "simulated: link down";
    static std::string InjectedDetail(const SimFault& fault);
    // The server's own refusal of a request.
    static std::string RefusalDetail(std::uint8_t attError);

    // Live objects that receive events.
    void Register(const std::shared_ptr<SimCharacteristicObject>& object);
    void Register(const std::shared_ptr<SimDeviceObject>& device);
    void Register(const std::shared_ptr<SimWatcher>& watcher);

    // Control's thread.
    void DeliverValue(SimPeripheral& peripheral, std::uint16_t characteristic, const Bytes& value);
    void DeliverConnectionStatus(SimPeripheral& peripheral);
    void DeliverNameChanged(SimPeripheral& peripheral);
    void DeliverServicesChanged(SimPeripheral& peripheral, const std::string& text);
    std::vector<std::shared_ptr<SimWatcher>> Watchers();

    std::chrono::milliseconds adapterLatency{0};
    std::chrono::milliseconds scanStartDelay{0};
    std::chrono::milliseconds scanStopDelay{0};
    std::chrono::milliseconds advertisingInterval{100};

private:
    std::function<void()> Dropper(SimScheduler::TaskKey key, const std::shared_ptr<SimPeripheral>& peripheral,
                                  SimOp op);

    mutable std::mutex mutex_;
    std::map<SimOp, int> cancelled_;
    std::vector<std::shared_ptr<SimPeripheral>> peripherals_;
    SimAdapterState adapter_ = SimAdapterState::Present;
    std::multimap<std::pair<const SimPeripheral*, std::uint16_t>, std::weak_ptr<SimCharacteristicObject>>
        characteristics_;
    std::multimap<const SimPeripheral*, std::weak_ptr<SimDeviceObject>> devices_;
    std::vector<std::weak_ptr<SimWatcher>> watchers_;
};

class SimDescriptorObject : public platform::GattDescriptor {
public:
    SimDescriptorObject(std::shared_ptr<SimCore> core, std::shared_ptr<SimPeripheral> peripheral,
                        std::uint16_t handle, Uuid uuid)
        : core_(std::move(core)), peripheral_(std::move(peripheral)), handle_(handle), uuid_(uuid)
    {
    }
    std::uint16_t AttributeHandle() const override { return handle_; }
    Uuid GetUuid() const override { return uuid_; }
    void ReadValue(platform::CacheMode mode, platform::Completion<platform::ValueResult> done) override;
    void WriteValue(Bytes value, platform::Completion<platform::GattResult> done) override;

private:
    std::shared_ptr<SimCore> core_;
    std::shared_ptr<SimPeripheral> peripheral_;
    std::uint16_t handle_;
    Uuid uuid_;
    std::shared_ptr<std::optional<Bytes>> cache_ = std::make_shared<std::optional<Bytes>>();
};

class SimCharacteristicObject : public platform::GattCharacteristic,
                                public std::enable_shared_from_this<SimCharacteristicObject> {
public:
    SimCharacteristicObject(std::shared_ptr<SimCore> core, std::shared_ptr<SimPeripheral> peripheral,
                            const SimCharacteristic& characteristic)
        : core_(std::move(core)), peripheral_(std::move(peripheral)), handle_(characteristic.handle),
          uuid_(characteristic.uuid)
    {
    }
    std::uint16_t AttributeHandle() const override { return handle_; }
    Uuid GetUuid() const override { return uuid_; }
    std::uint16_t Properties() const override;
    void GetDetails(platform::Completion<platform::DetailsResult> done) override;
    void GetDescriptors(std::optional<Uuid> uuid,
                        platform::Completion<platform::ListResult<platform::GattDescriptor>> done) override;
    void ReadValue(platform::CacheMode mode, platform::Completion<platform::ValueResult> done) override;
    void WriteValue(Bytes value, platform::WriteOption option,
                    platform::Completion<platform::GattResult> done) override;
    void ReadCccd(platform::Completion<platform::CccdResult> done) override;
    void WriteCccd(platform::CccdValue value, platform::Completion<platform::CccdResult> done) override;
    void SetValueChangedHandler(ValueChangedHandler handler) override { handler_ = std::move(handler); }

    const SimPeripheral* Owner() const { return peripheral_.get(); }
    void Deliver(const Bytes& value);

private:
    std::shared_ptr<SimCore> core_;
    std::shared_ptr<SimPeripheral> peripheral_;
    std::uint16_t handle_;
    Uuid uuid_;
    ValueChangedHandler handler_;
    std::shared_ptr<std::optional<Bytes>> cache_ = std::make_shared<std::optional<Bytes>>();
};

class SimServiceObject : public platform::GattService {
public:
    SimServiceObject(std::shared_ptr<SimCore> core, std::shared_ptr<SimPeripheral> peripheral, std::uint16_t handle,
                     Uuid uuid)
        : core_(std::move(core)), peripheral_(std::move(peripheral)), handle_(handle), uuid_(uuid)
    {
    }
    std::uint16_t AttributeHandle() const override { return handle_; }
    Uuid GetUuid() const override { return uuid_; }
    void GetIncludedServices(std::optional<Uuid> uuid,
                             platform::Completion<platform::ListResult<platform::GattService>> done) override;
    void GetCharacteristics(std::optional<Uuid> uuid,
                            platform::Completion<platform::ListResult<platform::GattCharacteristic>> done) override;

private:
    std::shared_ptr<SimCore> core_;
    std::shared_ptr<SimPeripheral> peripheral_;
    std::uint16_t handle_;
    Uuid uuid_;
};

class SimDeviceObject : public platform::Device {
public:
    SimDeviceObject(std::shared_ptr<SimCore> core, std::shared_ptr<SimPeripheral> peripheral)
        : core_(std::move(core)), peripheral_(std::move(peripheral))
    {
    }
    std::uint64_t Address() const override { return peripheral_->Address(); }
    platform::AddressType GetAddressType() const override { return peripheral_->GetAddressType(); }
    std::string Name() const override { return peripheral_->Name(); }
    platform::ConnectionStatus GetConnectionStatus() const override;
    void Connect(platform::Completion<platform::GattResult> done) override;
    void Disconnect(platform::Completion<platform::GattResult> done) override;
    void GetGattServices(std::optional<Uuid> uuid,
                         platform::Completion<platform::ListResult<platform::GattService>> done) override;
    void SetConnectionStatusChangedHandler(std::function<void()> handler) override { statusHandler_ = std::move(handler); }
    void SetNameChangedHandler(std::function<void()> handler) override { nameHandler_ = std::move(handler); }
    void SetGattServicesChangedHandler(std::function<void(const std::string&)> handler) override
    {
        servicesHandler_ = std::move(handler);
    }

    const SimPeripheral* Owner() const { return peripheral_.get(); }
    void FireConnectionStatus() const { if (statusHandler_) statusHandler_(); }
    void FireNameChanged() const { if (nameHandler_) nameHandler_(); }
    void FireServicesChanged(const std::string& text) const { if (servicesHandler_) servicesHandler_(text); }

private:
    std::shared_ptr<SimCore> core_;
    std::shared_ptr<SimPeripheral> peripheral_;
    std::function<void()> statusHandler_;
    std::function<void()> nameHandler_;
    std::function<void(const std::string&)> servicesHandler_;
};

class SimWatcher : public platform::AdvertisementWatcher, public std::enable_shared_from_this<SimWatcher> {
public:
    explicit SimWatcher(std::shared_ptr<SimCore> core) : core_(std::move(core)) {}
    ~SimWatcher() override;
    void Start() override;
    void Stop() override;
    platform::WatcherStatus Status() const override { return status_; }
    void SetScanningMode(platform::ScanningMode mode) override { mode_ = mode; }
    platform::ScanningMode GetScanningMode() const override { return mode_; }
    void SetFilter(std::vector<Uuid> serviceUuids) override { filter_ = std::move(serviceUuids); }
    void SetReceivedHandler(std::function<void(const platform::AdvertisementReceived&)> handler) override
    {
        received_ = std::move(handler);
    }
    void SetStoppedHandler(std::function<void(platform::BluetoothError)> handler) override
    {
        stopped_ = std::move(handler);
    }

    // The platform ends the scan on its own.
    void Abort(platform::BluetoothError error);

private:
    void AdvertiseRound();
    void Finish(platform::WatcherStatus status, platform::BluetoothError error);
    bool Passes(const SimAdvertising& advertising) const;

    std::shared_ptr<SimCore> core_;
    platform::WatcherStatus status_ = platform::WatcherStatus::Created;
    platform::ScanningMode mode_ = platform::ScanningMode::Passive;
    std::vector<Uuid> filter_;
    std::function<void(const platform::AdvertisementReceived&)> received_;
    std::function<void(platform::BluetoothError)> stopped_;
    TimerId timer_ = 0;
    std::uint64_t run_ = 0;  // tells a stale start or stop apart from the current one
};

}  // namespace vornik::sim
