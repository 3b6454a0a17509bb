// The simulated advertisement watcher: while started it hears every
// advertising peripheral once per advertising interval.
#include <algorithm>

#include "sim_core.h"

namespace vornik::sim {

using platform::WatcherStatus;

SimWatcher::~SimWatcher()
{
    if (timer_ != 0)
        core_->scheduler.StopTimer(timer_);
}

void SimWatcher::Start()
{
    if (status_ == WatcherStatus::Started || status_ == WatcherStatus::Stopping)
        return;
    const std::uint64_t run = ++run_;
    std::weak_ptr<SimWatcher> weak = weak_from_this();
    auto begin = [weak, run] {
        auto self = weak.lock();
        if (!self || self->run_ != run)
            return;
        if (self->core_->AdapterState() != SimAdapterState::Present) {
            self->Finish(WatcherStatus::Aborted, platform::BluetoothError::RadioNotAvailable);
            return;
        }
        self->status_ = WatcherStatus::Started;
        self->timer_ = self->core_->scheduler.Every(self->core_->advertisingInterval, [weak] {
            if (auto watcher = weak.lock())
                watcher->AdvertiseRound();
        });
    };
    if (core_->scanStartDelay.count() == 0 && core_->AdapterState() == SimAdapterState::Present) {
        begin();
        return;
    }
    status_ = WatcherStatus::Created;
    core_->scheduler.After(core_->scanStartDelay, begin);
}

void SimWatcher::Stop()
{
    if (status_ != WatcherStatus::Started) {
        ++run_;  // a start still pending is called off
        return;
    }
    status_ = WatcherStatus::Stopping;
    if (timer_ != 0)
        core_->scheduler.StopTimer(timer_);
    timer_ = 0;
    const std::uint64_t run = run_;
    std::weak_ptr<SimWatcher> weak = weak_from_this();
    core_->scheduler.After(core_->scanStopDelay, [weak, run] {
        if (auto self = weak.lock(); self && self->run_ == run)
            self->Finish(WatcherStatus::Stopped, platform::BluetoothError::Success);
    });
}

void SimWatcher::Abort(platform::BluetoothError error)
{
    if (status_ != WatcherStatus::Started && status_ != WatcherStatus::Stopping)
        return;
    if (timer_ != 0)
        core_->scheduler.StopTimer(timer_);
    timer_ = 0;
    const std::uint64_t run = ++run_;
    std::weak_ptr<SimWatcher> weak = weak_from_this();
    core_->scheduler.After(std::chrono::milliseconds(0), [weak, run, error] {
        if (auto self = weak.lock(); self && self->run_ == run)
            self->Finish(WatcherStatus::Aborted, error);
    });
}

void SimWatcher::Finish(WatcherStatus status, platform::BluetoothError error)
{
    status_ = status;
    if (stopped_)
        stopped_(error);
}

bool SimWatcher::Passes(const SimAdvertising& advertising) const
{
    const auto& listed = advertising.data.serviceUuids;
    return std::all_of(filter_.begin(), filter_.end(), [&listed](const Uuid& wanted) {
        return std::find(listed.begin(), listed.end(), wanted) != listed.end();
    });
}

void SimWatcher::AdvertiseRound()
{
    if (status_ != WatcherStatus::Started)
        return;
    for (const auto& peripheral : core_->Peripherals()) {
        const SimAdvertising& advertising = peripheral->Advertising();
        if (!advertising.enabled || !Passes(advertising))
            continue;
        platform::AdvertisementReceived packet;
        packet.address = peripheral->Address();
        packet.rawSignalStrengthInDBm = advertising.rssi;
        packet.type = advertising.type;
        packet.advertisement = BuildAdvertisement(advertising.data);
        if (advertising.fieldsOnly) {
            packet.type.reset();
            packet.advertisement.dataSections.reset();
        }
        if (received_)
            received_(packet);
        if (mode_ == platform::ScanningMode::Active && advertising.scanResponse && status_ == WatcherStatus::Started) {
            packet.type = platform::AdvertisementType::ScanResponse;
            packet.advertisement = BuildAdvertisement(*advertising.scanResponse);
            if (advertising.fieldsOnly) {
                packet.type.reset();
                packet.advertisement.dataSections.reset();
            }
            if (received_)
                received_(packet);
        }
        // A handler may have stopped the scan.
        if (status_ != WatcherStatus::Started)
            return;
    }
}

}  // namespace vornik::sim
