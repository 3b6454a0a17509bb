// Chooses the radio a new control works on.
#pragma once

#include <memory>
#include <string>

namespace vornik::platform {
class Platform;
}

namespace vornik::surface {

// Environment variable naming the radio: "sim" for the simulated radio
// (with the peripherals of the module VORNIK_SIM_MODULE names);
// unset or "none" gives a platform without an adapter, so every radio
// operation fails with "No Bluetooth adapter found." instead of pretending.
inline constexpr const char* kRadioVariable = "VORNIK220_RADIO";

// Null with a reason when the radio cannot be set up.
std::unique_ptr<platform::Platform> createPlatform(std::string& error);

} // namespace vornik::surface
