#pragma once

#include <QCoreApplication>

#include "shell/wait_clock.h"

namespace qc::test {

// A clock for tests: waits pass without real time. Every step of a wait
// processes the pending events and moves the clock on by one step, so a
// deadline of seconds ends at once and an event posted before it still
// arrives.
class SteppedClock : public WaitClock {
public:
    explicit SteppedClock(QDateTime start = QDateTime(QDate(2024, 12, 5), QTime(10, 15, 30)))
        : now_(std::move(start))
    {
    }
    QDateTime CurrentDateTime() const override { return now_; }
    bool PumpEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline) override
    {
        std::chrono::milliseconds waited{0};
        while (!done()) {
            if (waited >= deadline)
                return false;
            QCoreApplication::processEvents();
            waited += kStep;
            now_ = now_.addMSecs(kStep.count());
            waitedTotal += kStep;
        }
        return true;
    }
    void Set(const QDateTime& now) { now_ = now; }

    std::chrono::milliseconds waitedTotal{0};

private:
    static constexpr std::chrono::milliseconds kStep{10};
    QDateTime now_;
};

} // namespace qc::test
