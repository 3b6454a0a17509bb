// Chooses and builds the radio backend a new control works on. The one
// place that knows the backends; the control's surface only calls this.
#pragma once

#include <memory>
#include <string>

#include "platform.h"

namespace vornik::platform {

// Environment variable naming the radio: unset or "bluez" for BlueZ on
// the system bus; "sim" for the simulated radio (with the peripherals of the
// module VORNIK_SIM_MODULE names); "none" for no radio. Where BlueZ cannot
// be reached (no system bus) the control has no adapter either: every radio
// operation fails with "No Bluetooth adapter found." instead of pretending.
inline constexpr const char* kRadioVariable = "VORNIK220_RADIO";

// Null with a reason when the radio cannot be set up.
std::unique_ptr<Platform> CreatePlatform(std::string& error);

}  // namespace vornik::platform
