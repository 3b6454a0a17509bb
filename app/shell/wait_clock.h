#pragma once

#include <QDateTime>
#include <chrono>
#include <functional>

namespace qc {

// Every wait of the program goes through this seam: the wall clock the
// readings are stamped with, and waits that keep the user interface working.
// The real clock pumps the event loop; tests put in one that does not sleep.
class WaitClock {
public:
    virtual ~WaitClock() = default;

    // The moment a reading is taken (transfer date and time).
    virtual QDateTime CurrentDateTime() const = 0;

    // Processes window events until `done` returns true or `deadline` has
    // passed; true when `done` was reached. Never waits longer than the
    // deadline.
    virtual bool PumpEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline) = 0;

    // Waits while the user interface keeps working; Delay(seconds) of the
    // program.
    void Delay(std::chrono::milliseconds duration);
};

// The system clock and the application's event loop.
class EventLoopClock : public WaitClock {
public:
    QDateTime CurrentDateTime() const override;
    bool PumpEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline) override;
};

// The process's real clock, for code that is given none.
WaitClock& SystemWaitClock();

// Names the system's time zone file in TZ when TZ is unset, before any
// thread starts. Without it the C library looks the file up again for
// every local date-time (a memory of 5000 readings makes 5000 of them).
void PinLocalTimeZone();

} // namespace qc
