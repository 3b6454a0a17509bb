// Scanning state of the engine: the watcher and the advertisement being
// reported to the host.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

namespace vornik {

struct ScanState {
    std::shared_ptr<platform::AdvertisementWatcher> watcher;
    std::string filterText;
    // Set only while the Advertisement event is being raised.
    const platform::AdvertisementReceived* current = nullptr;
    // The bytes of the Value event being raised (ValueValueB).
    const std::string* currentValue = nullptr;
};

}  // namespace vornik
