#include "sim_scheduler.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace vornik::sim {

SimScheduler::SimScheduler()
{
    timerFd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (timerFd_ < 0)
        throw std::runtime_error(std::string("timerfd_create: ") + std::strerror(errno));
}

SimScheduler::~SimScheduler()
{
    close(timerFd_);
}

SimScheduler::TaskKey SimScheduler::After(std::chrono::milliseconds delay, std::function<void()> task)
{
    std::lock_guard lock(mutex_);
    const auto added = tasks_.emplace(std::make_pair(Clock::now() + delay, sequence_++), std::move(task)).first;
    // The timer already fires for an earlier task: re-arming it for every
    // task (one system call each) would cost more than the task itself.
    if (added == tasks_.begin())
        ArmLocked();
    return added->first;
}

bool SimScheduler::Cancel(const TaskKey& key)
{
    std::function<void()> dropped; // destroyed unlocked: its captures may call back here
    std::lock_guard lock(mutex_);
    const auto found = tasks_.find(key);
    if (found == tasks_.end())
        return false;
    dropped = std::move(found->second);
    tasks_.erase(found);
    return true;
}

TimerId SimScheduler::Every(std::chrono::milliseconds period, std::function<void()> task)
{
    TimerId id = 0;
    {
        std::lock_guard lock(mutex_);
        id = nextTimer_++;
        liveTimers_.insert(id);
    }
    Repeat(id, period, std::move(task));
    return id;
}

void SimScheduler::Repeat(TimerId id, std::chrono::milliseconds period, std::function<void()> task)
{
    After(period, [this, id, period, task = std::move(task)] {
        {
            std::lock_guard lock(mutex_);
            if (!liveTimers_.contains(id))
                return;
        }
        task();
        Repeat(id, period, task);
    });
}

void SimScheduler::StopTimer(TimerId id)
{
    std::lock_guard lock(mutex_);
    liveTimers_.erase(id);
}

void SimScheduler::ArmLocked()
{
    itimerspec when{};
    if (!tasks_.empty()) {
        auto wait = tasks_.begin()->first.first - Clock::now();
        auto nanos = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
        // Zero would disarm the timer; a due task fires at once instead.
        if (nanos < 1)
            nanos = 1;
        when.it_value.tv_sec = static_cast<time_t>(nanos / 1000000000);
        when.it_value.tv_nsec = static_cast<long>(nanos % 1000000000);
    }
    timerfd_settime(timerFd_, 0, &when, nullptr);
}

void SimScheduler::RunDue()
{
    std::uint64_t expirations = 0;
    [[maybe_unused]] ssize_t got = read(timerFd_, &expirations, sizeof expirations);
    // Only tasks due when the round began: a task that schedules another
    // for "now" does not starve the loop.
    const Clock::time_point now = Clock::now();
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard lock(mutex_);
            if (tasks_.empty() || tasks_.begin()->first.first > now)
                break;
            task = std::move(tasks_.begin()->second);
            tasks_.erase(tasks_.begin());
        }
        task();
    }
    std::lock_guard lock(mutex_);
    ArmLocked();
}

void SimScheduler::Clear()
{
    std::map<TaskKey, std::function<void()>> dropped;
    {
        std::lock_guard lock(mutex_);
        dropped.swap(tasks_);
        liveTimers_.clear();
        ArmLocked();
    }
}

}  // namespace vornik::sim
