// What the tests on simulated gauges share: a clock that never sleeps out a
// deadline, and the gauges they talk to.
#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>

#include <chrono>
#include <functional>

#include "shell/wait_clock.h"

namespace qc::test {

// Pumps the program's events a little, never sleeps out a deadline: a wait
// that does not end counts its whole deadline on a virtual clock.
class InstantClock : public WaitClock {
public:
    QDateTime CurrentDateTime() const override { return QDateTime(QDate(2026, 12, 6), QTime(23, 1, 2)); }
    bool PumpEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline) override
    {
        for (int round = 0; round < 20 && !done(); ++round) {
            QCoreApplication::processEvents();
            QThread::usleep(200);
        }
        if (!done())
            elapsed += deadline;
        return done();
    }
    std::chrono::milliseconds elapsed{0};
};

struct Gauge {
    const char* address;
    const char* name;
};
inline const Gauge kQV{"E8C04D000501", "QV-FE 500"};          // class 5, main service
inline const Gauge kGV4{"E8C04D000503", "GV-4 200"};          // class 5, alternative service
inline const Gauge kPellax{"E8C04D000404", "PELLAX DUAL FE"}; // class 4

} // namespace qc::test
