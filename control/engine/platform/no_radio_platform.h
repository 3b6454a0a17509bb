// A platform without a Bluetooth adapter: what a control runs on when no
// radio backend is available. Every request completes, later and on the
// control's thread as the platform contract asks, with "nothing there".
#pragma once

#include "platform.h"

#include <deque>
#include <functional>

namespace vornik::platform {

class NoRadioPlatform final : public Platform {
public:
    NoRadioPlatform();
    ~NoRadioPlatform() override;
    NoRadioPlatform(const NoRadioPlatform&) = delete;
    NoRadioPlatform& operator=(const NoRadioPlatform&) = delete;

    void GetDefaultAdapter(Completion<std::shared_ptr<Adapter>> done) override;
    std::shared_ptr<AdvertisementWatcher> CreateAdvertisementWatcher() override;
    void DeviceFromAddress(std::uint64_t address, Completion<std::shared_ptr<Device>> done) override;
    std::vector<int> PollDescriptors() const override;
    void Dispatch() override;

private:
    void queue(std::function<void()> work);

    int eventFd_ = -1;
    std::deque<std::function<void()>> due_;
};

} // namespace vornik::platform
