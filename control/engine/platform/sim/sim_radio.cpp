#include "sim_radio.h"

namespace vornik::sim {

namespace {

class SimAdapter : public platform::Adapter {
public:
    explicit SimAdapter(bool lowEnergy) : lowEnergy_(lowEnergy) {}
    bool IsLowEnergySupported() const override { return lowEnergy_; }

private:
    bool lowEnergy_;
};

}  // namespace

SimRadio::SimRadio() : core_(std::make_shared<SimCore>()) {}

SimRadio::~SimRadio()
{
    // Pending tasks hold completions and peripherals; drop them unrun.
    core_->scheduler.Clear();
    for (const auto& peripheral : core_->Peripherals())
        peripheral->SetBehaviour(nullptr);
}

std::shared_ptr<SimPeripheral> SimRadio::AddPeripheral(std::uint64_t address, std::string name,
                                                       platform::AddressType type)
{
    auto peripheral = std::make_shared<SimPeripheral>(address, std::move(name), type);
    AddPeripheral(peripheral);
    return peripheral;
}

void SimRadio::AddPeripheral(const std::shared_ptr<SimPeripheral>& peripheral)
{
    core_->AddPeripheral(peripheral);
}

std::shared_ptr<SimPeripheral> SimRadio::Peripheral(std::uint64_t address) const
{
    return core_->Peripheral(address);
}

void SimRadio::AbortScans(platform::BluetoothError error)
{
    for (const auto& watcher : core_->Watchers())
        watcher->Abort(error);
}

void SimRadio::After(std::chrono::milliseconds delay, std::function<void()> task)
{
    core_->scheduler.After(delay, std::move(task));
}

TimerId SimRadio::Every(std::chrono::milliseconds period, std::function<void()> task)
{
    return core_->scheduler.Every(period, std::move(task));
}

void SimRadio::StopTimer(TimerId timer)
{
    core_->scheduler.StopTimer(timer);
}

void SimRadio::CountRequest(SimOp op)
{
    std::lock_guard lock(countMutex_);
    ++counts_[op];
}

int SimRadio::Count(SimOp op) const
{
    std::lock_guard lock(countMutex_);
    auto found = counts_.find(op);
    return found == counts_.end() ? 0 : found->second;
}

void SimRadio::GetDefaultAdapter(platform::Completion<std::shared_ptr<platform::Adapter>> done)
{
    CountRequest(SimOp::DefaultAdapter);
    SimAdapterState state = core_->AdapterState();
    const platform::Completion<std::shared_ptr<platform::Adapter>> cancellable = done;
    const auto key = core_->scheduler.After(core_->adapterLatency, [state, done = std::move(done)] {
        if (state == SimAdapterState::Missing)
            done(nullptr);
        else
            done(std::make_shared<SimAdapter>(state == SimAdapterState::Present));
    });
    core_->DropOnCancel(cancellable, key, nullptr, SimOp::DefaultAdapter);
}

std::shared_ptr<platform::AdvertisementWatcher> SimRadio::CreateAdvertisementWatcher()
{
    auto watcher = std::make_shared<SimWatcher>(core_);
    core_->Register(watcher);
    return watcher;
}

void SimRadio::DeviceFromAddress(std::uint64_t address, platform::Completion<std::shared_ptr<platform::Device>> done)
{
    CountRequest(SimOp::DeviceFromAddress);
    auto peripheral = core_->Peripheral(address);
    std::chrono::milliseconds latency = peripheral ? peripheral->Latency(SimOp::DeviceFromAddress) : core_->adapterLatency;
    if (peripheral)
        peripheral->CountRequest(SimOp::DeviceFromAddress, 0);
    std::weak_ptr<SimCore> weakCore = core_;
    const platform::Completion<std::shared_ptr<platform::Device>> cancellable = done;
    const auto key = core_->scheduler.After(latency, [weakCore, peripheral, done = std::move(done)] {
        auto core = weakCore.lock();
        if (!peripheral || !core || core->AdapterState() == SimAdapterState::Missing) {
            done(nullptr);
            return;
        }
        auto device = std::make_shared<SimDeviceObject>(core, peripheral);
        core->Register(device);
        done(device);
    });
    core_->DropOnCancel(cancellable, key, peripheral, SimOp::DeviceFromAddress);
}

std::vector<int> SimRadio::PollDescriptors() const
{
    return {core_->scheduler.Descriptor()};
}

void SimRadio::Dispatch()
{
    core_->scheduler.RunDue();
}

}  // namespace vornik::sim
