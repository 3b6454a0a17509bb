// Scanning state of the engine: the watcher and the advertisement being
// reported to the host.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace vornik {

struct ScanState {
    std::shared_ptr<platform::AdvertisementWatcher> watcher;
    std::string filterText;
    // The running scan's service UUID filter as the engine applies it: an
    // advertisement must list every one. Backends may match more loosely
    // (BlueZ passes any listed UUID). A scan response passes when an
    // advertisement of its address passed in this scan.
    std::vector<Uuid> filter;
    std::set<std::uint64_t> passedAddresses;
    // Between Start() and the watcher reporting Started (StartScanning's
    // poll); StopScanning called meanwhile calls the start off.
    bool startPending = false;
    // Set only while the Advertisement event is being raised.
    const platform::AdvertisementReceived* current = nullptr;
    // The bytes of the Value event being raised (ValueValueB).
    const std::string* currentValue = nullptr;
    // Names asked of the platform for advertisements without one, per
    // address, for the running scan; and whether a device look-up made from
    // inside an Advertisement event is under way (advertisements keep coming
    // during its wait, and must not start look-ups of their own).
    std::map<std::uint64_t, std::string> queriedNames;
    bool deviceLookupActive = false;
};

}  // namespace vornik
