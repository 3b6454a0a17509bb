#include "no_radio_platform.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace vornik::platform {
namespace {

// A watcher that can never start: the engine asks for the adapter first,
// so this only answers the questions a host may still ask.
class IdleWatcher final : public AdvertisementWatcher {
public:
    void Start() override {}
    void Stop() override {}
    WatcherStatus Status() const override { return WatcherStatus::Stopped; }
    void SetScanningMode(ScanningMode mode) override { mode_ = mode; }
    ScanningMode GetScanningMode() const override { return mode_; }
    void SetFilter(std::vector<Uuid>) override {}
    void SetReceivedHandler(std::function<void(const AdvertisementReceived&)>) override {}
    void SetStoppedHandler(std::function<void(BluetoothError)>) override {}

private:
    ScanningMode mode_ = ScanningMode::Passive;
};

} // namespace

NoRadioPlatform::NoRadioPlatform() : eventFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

NoRadioPlatform::~NoRadioPlatform()
{
    if (eventFd_ >= 0)
        close(eventFd_);
}

void NoRadioPlatform::queue(std::function<void()> work)
{
    due_.push_back(std::move(work));
    std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(eventFd_, &one, sizeof one);
}

void NoRadioPlatform::GetDefaultAdapter(Completion<std::shared_ptr<Adapter>> done)
{
    queue([done = std::move(done)] { done(nullptr); });
}

std::shared_ptr<AdvertisementWatcher> NoRadioPlatform::CreateAdvertisementWatcher()
{
    return std::make_shared<IdleWatcher>();
}

void NoRadioPlatform::DeviceFromAddress(std::uint64_t, Completion<std::shared_ptr<Device>> done)
{
    queue([done = std::move(done)] { done(nullptr); });
}

std::vector<int> NoRadioPlatform::PollDescriptors() const
{
    return {eventFd_};
}

void NoRadioPlatform::Dispatch()
{
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(eventFd_, &count, sizeof count);
    std::deque<std::function<void()>> work;
    work.swap(due_);
    for (auto& item : work)
        item();
}

} // namespace vornik::platform
