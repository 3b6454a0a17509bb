// The module's entry points: vornik_sim_populate for the simulated radio
// and the run-time hooks of quen_gaugesim.h.
#include "quen_gaugesim.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <string>
#include <vector>

#include "content_folder.h"
#include "demo_gauges.h"
#include "gauge_peripheral.h"

#define QUEN_GAUGESIM_EXPORT __attribute__((visibility("default")))

namespace {

using quen::gaugesim::GaugePeripheral;
using quen::gaugesim::GaugeSetup;

std::mutex registryMutex;
std::vector<std::weak_ptr<GaugePeripheral>> registry;
std::string lastError;

// The newest running gauge with that address (each control has its own radio).
std::shared_ptr<GaugePeripheral> FindGauge(const char* address)
{
    std::uint64_t wanted = 0;
    if (address == nullptr || !quen::gaugesim::ParseAddress(address, wanted))
        return nullptr;
    std::lock_guard lock(registryMutex);
    std::erase_if(registry, [](const auto& weak) { return weak.expired(); });
    for (auto it = registry.rbegin(); it != registry.rend(); ++it)
        if (auto gauge = it->lock(); gauge && gauge->Address() == wanted)
            return gauge;
    return nullptr;
}

const std::vector<GaugeSetup>& BuiltIn()
{
    static const std::vector<GaugeSetup> gauges = quen::gaugesim::BuiltInGauges();
    return gauges;
}

int Populate(vornik::sim::SimRadio* radio)
{
    if (radio == nullptr)
        return 1;
    std::vector<GaugeSetup> gauges;
    const char* folder = std::getenv(QUEN_GAUGESIM_DIR_VARIABLE);
    if (folder != nullptr && *folder != '\0') {
        std::string error;
        if (!quen::gaugesim::LoadContentFolder(folder, gauges, error)) {
            std::fprintf(stderr, "Simulated gauges: %s\n", error.c_str());
            return 2;
        }
    } else {
        gauges = BuiltIn();
    }
    std::lock_guard lock(registryMutex);
    for (GaugeSetup& gauge : gauges)
        registry.push_back(GaugePeripheral::Create(*radio, std::move(gauge)));
    return 0;
}

}  // namespace

// No exception may cross into the control.
extern "C" QUEN_GAUGESIM_EXPORT int vornik_sim_populate(vornik::sim::SimRadio* radio)
{
    try {
        return Populate(radio);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Simulated gauges: %s\n", e.what());
        return 3;
    }
}

extern "C" QUEN_GAUGESIM_EXPORT int quen_gaugesim_configure(const char* address, const char* line)
{
    auto gauge = FindGauge(address);
    if (!gauge)
        return QUEN_GAUGESIM_NO_GAUGE;
    std::string error;
    try {
        error = gauge->Configure(line ? line : "");
    } catch (const std::exception& e) {
        error = e.what();
    }
    std::lock_guard lock(registryMutex);
    lastError = error;
    return error.empty() ? QUEN_GAUGESIM_OK : QUEN_GAUGESIM_REFUSED;
}

extern "C" QUEN_GAUGESIM_EXPORT int quen_gaugesim_take_reading(const char* address)
{
    auto gauge = FindGauge(address);
    if (!gauge)
        return QUEN_GAUGESIM_NO_GAUGE;
    try {
        return gauge->TakeReading() ? QUEN_GAUGESIM_OK : QUEN_GAUGESIM_NOT_HEARD;
    } catch (const std::exception&) {
        return QUEN_GAUGESIM_NO_GAUGE;
    }
}

extern "C" QUEN_GAUGESIM_EXPORT const char* quen_gaugesim_last_error(void)
{
    std::lock_guard lock(registryMutex);
    return lastError.c_str();
}
