// The simulated radio's clock: tasks due at a time, run on the control's
// thread from Dispatch(). A timerfd becomes readable when a task is due.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <utility>

namespace vornik::sim {

using Clock = std::chrono::steady_clock;
using TimerId = std::uint64_t;

class SimScheduler {
public:
    SimScheduler();
    ~SimScheduler();
    SimScheduler(const SimScheduler&) = delete;
    SimScheduler& operator=(const SimScheduler&) = delete;

    int Descriptor() const { return timerFd_; }

    // Any thread. The key names the task for Cancel.
    using TaskKey = std::pair<Clock::time_point, std::uint64_t>;
    TaskKey After(std::chrono::milliseconds delay, std::function<void()> task);
    // Any thread: drops the task unless it has run (or is running); true
    // when it was dropped.
    bool Cancel(const TaskKey& key);
    // Any thread: runs task every period until StopTimer.
    TimerId Every(std::chrono::milliseconds period, std::function<void()> task);
    void StopTimer(TimerId id);

    // Owner thread: runs every task that is due now.
    void RunDue();
    // Drops every pending task without running it.
    void Clear();

private:
    void ArmLocked();
    void Repeat(TimerId id, std::chrono::milliseconds period, std::function<void()> task);

    int timerFd_ = -1;
    std::mutex mutex_;
    std::uint64_t sequence_ = 0;
    std::map<TaskKey, std::function<void()>> tasks_;
    TimerId nextTimer_ = 1;
    std::set<TimerId> liveTimers_;
};

}  // namespace vornik::sim
