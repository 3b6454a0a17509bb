// A platform without a Bluetooth adapter: what a control runs on when no
// radio backend is available. Every request completes, later and on the
// control's thread as the platform contract asks, with "nothing there".
#pragma once

#include "platform/platform.h"

#include <deque>
#include <functional>

namespace vornik::surface {

class NoRadioPlatform final : public platform::Platform {
public:
    NoRadioPlatform();
    ~NoRadioPlatform() override;
    NoRadioPlatform(const NoRadioPlatform&) = delete;
    NoRadioPlatform& operator=(const NoRadioPlatform&) = delete;

    void GetDefaultAdapter(platform::Completion<std::shared_ptr<platform::Adapter>> done) override;
    std::shared_ptr<platform::AdvertisementWatcher> CreateAdvertisementWatcher() override;
    void DeviceFromAddress(std::uint64_t address, platform::Completion<std::shared_ptr<platform::Device>> done) override;
    std::vector<int> PollDescriptors() const override;
    void Dispatch() override;

private:
    void queue(std::function<void()> work);

    int eventFd_ = -1;
    std::deque<std::function<void()>> due_;
};

} // namespace vornik::surface
