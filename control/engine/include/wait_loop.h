// The control's wait loop: one thread, one queue. Platform completions,
// tasks posted from other threads and the host's pump all run here, on the
// thread that created the loop.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "errors.h"
#include "platform/platform.h"

namespace vornik {

class WaitLoop {
public:
    explicit WaitLoop(platform::Platform& platform);
    ~WaitLoop();
    WaitLoop(const WaitLoop&) = delete;
    WaitLoop& operator=(const WaitLoop&) = delete;

    // One descriptor a host can watch; readable when a round has work.
    int PollDescriptor() const { return epollFd_; }
    bool OnOwnerThread() const { return std::this_thread::get_id() == owner_; }

    // Any thread: run the task on the owner thread in a later round.
    void Post(std::function<void()> task);

    // One round: wait up to maxWait for input, run the platform's due work
    // and the posted tasks, then call the host pump when asked to.
    void RunRound(std::chrono::milliseconds maxWait, bool pumpHost);

    void SetHostPump(std::function<void()> pump) { hostPump_ = std::move(pump); }

    // Any thread, also from a signal handler: every wait in progress ends
    // with "Interrupted.".
    void Interrupt();
    std::uint64_t InterruptGeneration() const { return interrupts_.load(); }
    // Any thread: this wait and every later one ends with "Interrupted." at
    // once (the owner is going away).
    void Close();
    bool Closed() const { return closed_.load(); }

    // Rounds run inside rounds when a host calls back from an event (a wait,
    // DoEvents, the pump hook). Beyond kMaxNesting a round only runs the
    // platform's completions; work that would raise host events is held
    // (Defer) and run, in order, by the next round at a lower level.
    static constexpr int kMaxNesting = 8;
    int Nesting() const { return depth_; }
    bool HoldsEvents() const { return depth_ > kMaxNesting || !deferred_.empty(); }
    void Defer(std::function<void()> task) { deferred_.push_back(std::move(task)); }

private:
    void Wake();
    void RunPosted();
    void RunDeferred();

    platform::Platform& platform_;
    std::thread::id owner_;
    int epollFd_ = -1;
    int wakeFd_ = -1;
    std::mutex mutex_;
    std::deque<std::function<void()>> posted_;
    std::function<void()> hostPump_;
    std::atomic<std::uint64_t> interrupts_{0};
    std::atomic<bool> closed_{false};
    int depth_ = 0;
    std::deque<std::function<void()>> deferred_;
};

struct WaitOptions {
    int timeoutSeconds = 60;  // 0: no time limit; only completion or Interrupt() ends the wait
    int selectWaitMillis = 20;
    bool pumpHost = true;
};

// Runs wait rounds until *done is set, the deadline passes (301 "Timeout.")
// or the loop is interrupted (301 "Interrupted."). Events that arrive
// meanwhile are raised by the rounds, on the owner thread.
Status WaitUntil(WaitLoop& loop, const WaitOptions& options, const std::function<bool()>& done);

// A blocking platform request: start it with a completion and wait for it.
// A wait that ends without the result (deadline, interrupt) cancels the
// request, so its completion never runs.
template <class Result>
Status AwaitRequest(WaitLoop& loop, const WaitOptions& options,
                    const std::function<void(platform::Completion<Result>)>& start, Result& out)
{
    struct Slot {
        bool done = false;
        Result value{};
    };
    auto slot = std::make_shared<Slot>();
    const platform::Completion<Result> done([slot](Result result) {
        slot->value = std::move(result);
        slot->done = true;
    });
    start(done);
    Status status = WaitUntil(loop, options, [&slot] { return slot->done; });
    if (!slot->done)
        done.Cancel();
    if (status.ok())
        out = std::move(slot->value);
    return status;
}

}  // namespace vornik
