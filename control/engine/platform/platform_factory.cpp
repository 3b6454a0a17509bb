#include "platform_factory.h"

#include <cstdlib>
#include <string_view>

#include "bluez/bluez_platform.h"
#include "no_radio_platform.h"
#include "sim/sim_module.h"
#include "sim/sim_radio.h"

namespace vornik::platform {
namespace {

constexpr std::string_view kNoRadio = "none";
constexpr std::string_view kSimulatedRadio = "sim";
constexpr std::string_view kBluez = "bluez";

} // namespace

std::unique_ptr<Platform> CreatePlatform(std::string& error)
{
    const char* chosen = std::getenv(kRadioVariable);
    const std::string_view radio = chosen ? chosen : "";
    if (radio == kNoRadio)
        return std::make_unique<NoRadioPlatform>();
    if (radio.empty() || radio == kBluez) {
        std::string unreachable;
        if (auto bluez = bluez::BluezPlatform::Open(unreachable))
            return bluez;
        return std::make_unique<NoRadioPlatform>();
    }
    if (radio == kSimulatedRadio) {
        auto sim = std::make_unique<sim::SimRadio>();
        const Status loaded = sim::LoadPeripheralModuleFromEnvironment(*sim);
        if (!loaded.ok()) {
            error = loaded.text;
            return nullptr;
        }
        return sim;
    }
    error = "Unknown radio \"" + std::string(radio) + "\" in " + kRadioVariable + " (\"bluez\", \"sim\" or \"none\").";
    return nullptr;
}

} // namespace vornik::platform
