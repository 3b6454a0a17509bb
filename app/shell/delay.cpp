#include "shell/delay.h"

#include <QCoreApplication>
#include <QThread>

namespace qc {
namespace {

constexpr int kPumpSliceMillis = 1;

} // namespace

bool PumpEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline)
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

void Delay(int seconds)
{
    if (seconds <= 0)
        return;
    PumpEventsUntil([] { return false; }, std::chrono::seconds(seconds));
}

QString Ausrichten(int width, const QString& text, const QString& fill, bool cut)
{
    if (text.size() < width && !fill.isEmpty())
        return QString(width - text.size(), fill.at(0)) + text;
    if (text.size() > width && cut)
        return text.left(std::max(0, width));
    return text;
}

QString AusrichtenL(int width, const QString& text)
{
    if (width <= 0)
        return {};
    return (text.trimmed() + QString(width, u' ')).left(width);
}

} // namespace qc
