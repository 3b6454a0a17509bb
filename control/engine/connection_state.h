// Connection state of the engine: the held device and the link flags.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace vornik {

struct ConnectionState {
    std::shared_ptr<platform::Device> device;
    // Set at creation, by Disconnect and on link loss; cleared on (re)connect.
    bool connectionLost = true;
    bool connectInProgress = false;
    // Service Ids whose included services are being discovered.
    std::vector<std::string> includeChain;
};

}  // namespace vornik
