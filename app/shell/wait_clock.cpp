#include "shell/wait_clock.h"

#include <QCoreApplication>
#include <QThread>

namespace qc {
namespace {

constexpr int kPumpSliceMillis = 1;

} // namespace

void WaitClock::Delay(std::chrono::milliseconds duration)
{
    if (duration.count() <= 0)
        return;
    PumpEventsUntil([] { return false; }, duration);
}

QDateTime EventLoopClock::CurrentDateTime() const { return QDateTime::currentDateTime(); }

bool EventLoopClock::PumpEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline)
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, kPumpSliceMillis);
        QThread::msleep(kPumpSliceMillis);
    }
    return true;
}

void PinLocalTimeZone()
{
    if (qEnvironmentVariableIsEmpty("TZ"))
        qputenv("TZ", ":/etc/localtime");
}

WaitClock& SystemWaitClock()
{
    static EventLoopClock clock;
    return clock;
}

} // namespace qc
