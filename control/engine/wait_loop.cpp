#include "wait_loop.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace vornik {

namespace {

constexpr int kMaxEventsPerRound = 16;

void AddToEpoll(int epollFd, int fd)
{
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    if (epoll_ctl(epollFd, EPOLL_CTL_ADD, fd, &event) != 0)
        throw std::runtime_error(std::string("epoll_ctl: ") + std::strerror(errno));
}

}  // namespace

WaitLoop::WaitLoop(platform::Platform& platform) : platform_(platform), owner_(std::this_thread::get_id())
{
    epollFd_ = epoll_create1(EPOLL_CLOEXEC);
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (epollFd_ < 0 || wakeFd_ < 0)
        throw std::runtime_error(std::string("wait loop: ") + std::strerror(errno));
    AddToEpoll(epollFd_, wakeFd_);
    for (int fd : platform_.PollDescriptors())
        AddToEpoll(epollFd_, fd);
}

WaitLoop::~WaitLoop()
{
    close(wakeFd_);
    close(epollFd_);
}

void WaitLoop::Post(std::function<void()> task)
{
    {
        std::lock_guard lock(mutex_);
        posted_.push_back(std::move(task));
    }
    Wake();
}

void WaitLoop::Wake()
{
    std::uint64_t one = 1;
    // A full counter already means "awake"; nothing more to do then.
    [[maybe_unused]] ssize_t written = write(wakeFd_, &one, sizeof one);
}

void WaitLoop::Interrupt()
{
    interrupts_.fetch_add(1);
    Wake();
}

void WaitLoop::Close()
{
    closed_ = true;
    Interrupt();
}

void WaitLoop::RunPosted()
{
    std::deque<std::function<void()>> tasks;
    {
        std::lock_guard lock(mutex_);
        tasks.swap(posted_);
    }
    for (auto& task : tasks)
        task();
}

void WaitLoop::RunDeferred()
{
    // One at a time: a task may raise an event whose handler runs rounds
    // (and defers more) before the next one is taken.
    while (!deferred_.empty() && depth_ <= kMaxNesting) {
        std::function<void()> task = std::move(deferred_.front());
        deferred_.pop_front();
        task();
    }
}

void WaitLoop::RunRound(std::chrono::milliseconds maxWait, bool pumpHost)
{
    struct Level {
        int& depth;
        explicit Level(int& d) : depth(d) { ++depth; }
        ~Level() { --depth; }
        Level(const Level&) = delete;
        Level& operator=(const Level&) = delete;
    } level(depth_);
    // Held work is due now: no round waits for input while it is there.
    if (!deferred_.empty())
        maxWait = std::chrono::milliseconds(0);
    epoll_event events[kMaxEventsPerRound];
    int timeout = static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(maxWait.count(), 0, INT32_MAX));
    int ready = epoll_wait(epollFd_, events, kMaxEventsPerRound, timeout);
    for (int i = 0; i < ready; ++i) {
        if (events[i].data.fd == wakeFd_) {
            std::uint64_t count = 0;
            [[maybe_unused]] ssize_t got = read(wakeFd_, &count, sizeof count);
        }
    }
    platform_.Dispatch();
    if (depth_ > kMaxNesting)
        return;
    RunDeferred();
    RunPosted();
    if (pumpHost && hostPump_)
        hostPump_();
}

Status WaitUntil(WaitLoop& loop, const WaitOptions& options, const std::function<bool()>& done)
{
    using Clock = std::chrono::steady_clock;
    const std::uint64_t interruptsAtStart = loop.InterruptGeneration();
    const bool limited = options.timeoutSeconds > 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(options.timeoutSeconds);
    const std::chrono::milliseconds roundWait(std::max(options.selectWaitMillis, 0));
    while (!done()) {
        if (loop.InterruptGeneration() != interruptsAtStart || loop.Closed())
            return Status::Error(err::kTimeout, std::string(text::kInterrupted));
        std::chrono::milliseconds wait = roundWait;
        if (limited) {
            Clock::time_point now = Clock::now();
            if (now >= deadline)
                return Status::Error(err::kTimeout, std::string(text::kTimeout));
            wait = std::min(wait, std::chrono::ceil<std::chrono::milliseconds>(deadline - now));
        }
        loop.RunRound(wait, options.pumpHost);
    }
    return Status::Ok();
}

}  // namespace vornik
