// Every setting reachable through Config, with its default.
#pragma once

#include <map>
#include <string>

namespace vornik {

struct EngineSettings {
    // BLE engine.
    bool autoDiscoverCharacteristics = false;
    bool autoDiscoverDescriptors = false;
    bool autoDiscoverIncludedServices = false;
    bool includeRediscovered = true;
    bool preferIndications = false;
    int logLevel = 1;
    int scanStartedTimeout = 2;
    bool queryAdditionalDeviceInfo = false;
    // Common layer.
    int codePage = 0;
    int selectWaitMillis = 20;
    bool useWindowsMessages = true;
    // Stored and reported only (debug log, socket layer), keyed by the
    // setting's canonical name, already normalised.
    std::map<std::string, std::string> stored;
};

}  // namespace vornik
