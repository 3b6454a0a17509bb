#include "platform_factory.h"

#include <cstdlib>
#include <string_view>

#include "no_radio_platform.h"
#include "sim/sim_module.h"
#include "sim/sim_radio.h"

namespace vornik::platform {
namespace {

constexpr std::string_view kNoRadio = "none";
constexpr std::string_view kSimulatedRadio = "sim";

}  // namespace

std::unique_ptr<Platform> CreatePlatform(std::string& error)
{
    const char* chosen = std::getenv(kRadioVariable);
    const std::string_view radio = chosen ? chosen : "";
    if (radio.empty() || radio == kNoRadio)
        return std::make_unique<NoRadioPlatform>();
    if (radio == kSimulatedRadio) {
        auto sim = std::make_unique<sim::SimRadio>();
        const Status loaded = sim::LoadPeripheralModuleFromEnvironment(*sim);
        if (!loaded.ok()) {
            error = loaded.text;
            return nullptr;
        }
        return sim;
    }
    error = "Unknown radio \"" + std::string(radio) + "\" in " + kRadioVariable + " (\"sim\" or \"none\").";
    return nullptr;
}

}  // namespace vornik::platform
