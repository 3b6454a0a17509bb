// Peripherals from a module, for the demo mode: a shared object that
// exports
//
//     extern "C" int vornik_sim_populate(vornik::sim::SimRadio* radio);
//
// which adds its peripherals and returns 0 on success. The environment
// variable VORNIK_SIM_MODULE names the module's path. A loaded module stays
// loaded for the life of the process (its behaviours' code must outlive any
// radio that used them).
#pragma once

#include <string>

#include "../platform_types.h"
#include "sim_radio.h"

namespace vornik::sim {

inline constexpr const char* kSimModuleVariable = "VORNIK_SIM_MODULE";
inline constexpr const char* kSimPopulateSymbol = "vornik_sim_populate";

Status LoadPeripheralModule(SimRadio& radio, const std::string& path);
// Loads the module VORNIK_SIM_MODULE names; nothing when it is unset.
Status LoadPeripheralModuleFromEnvironment(SimRadio& radio);

}  // namespace vornik::sim
