// The simulated radio: an in-process Bluetooth LE platform with virtual
// peripherals. Tests populate it in code; the demo mode loads the
// peripherals from a module (see sim_module.h).
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "../platform.h"
#include "sim_core.h"
#include "sim_peripheral.h"

namespace vornik::sim {

class SimRadio : public platform::Platform {
public:
    SimRadio();
    ~SimRadio() override;

    std::shared_ptr<SimPeripheral> AddPeripheral(std::uint64_t address, std::string name,
                                                 platform::AddressType type = platform::AddressType::Public);
    void AddPeripheral(const std::shared_ptr<SimPeripheral>& peripheral);
    std::shared_ptr<SimPeripheral> Peripheral(std::uint64_t address) const;

    // No adapter, or one without Low Energy.
    void SetAdapterState(SimAdapterState state) { core_->SetAdapterState(state); }
    void SetAdapterLatency(std::chrono::milliseconds latency) { core_->adapterLatency = latency; }
    // How long a watcher takes to report Started and Stopped.
    void SetScanStartDelay(std::chrono::milliseconds delay) { core_->scanStartDelay = delay; }
    void SetScanStopDelay(std::chrono::milliseconds delay) { core_->scanStopDelay = delay; }
    void SetAdvertisingInterval(std::chrono::milliseconds interval) { core_->advertisingInterval = interval; }
    // The platform ends every running scan with this error.
    void AbortScans(platform::BluetoothError error);

    // Work of a behaviour or a test on the radio's clock. Any thread.
    void After(std::chrono::milliseconds delay, std::function<void()> task);
    TimerId Every(std::chrono::milliseconds period, std::function<void()> task);
    void StopTimer(TimerId timer);

    // Requests not addressed to one peripheral: adapter and device look-ups.
    int Count(SimOp op) const;
    // Those of them the client stopped waiting for, dropped unanswered.
    int CancelledRequests(SimOp op) const { return core_->CancelledRequests(op); }

    // platform::Platform
    void GetDefaultAdapter(platform::Completion<std::shared_ptr<platform::Adapter>> done) override;
    std::shared_ptr<platform::AdvertisementWatcher> CreateAdvertisementWatcher() override;
    void DeviceFromAddress(std::uint64_t address,
                           platform::Completion<std::shared_ptr<platform::Device>> done) override;
    std::vector<int> PollDescriptors() const override;
    void Dispatch() override;

private:
    void CountRequest(SimOp op);

    std::shared_ptr<SimCore> core_;
    mutable std::mutex countMutex_;
    std::map<SimOp, int> counts_;
};

}  // namespace vornik::sim
