#include "platform_factory.h"

#include "no_radio_platform.h"

#include <cstdlib>
#include <string_view>

namespace vornik::surface {

std::unique_ptr<platform::Platform> createPlatform(std::string& error)
{
    const char* chosen = std::getenv(kRadioVariable);
    const std::string_view radio = chosen ? chosen : "";
    if (radio.empty() || radio == "none")
        return std::make_unique<NoRadioPlatform>();
    error = std::string("Unknown radio \"") + std::string(radio) + "\" in " + kRadioVariable + ".";
    return nullptr;
}

} // namespace vornik::surface
