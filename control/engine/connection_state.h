// Connection state of the engine: the held device and the link flags.
#pragma once

#include <cstdint>
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
    // Changes whenever the link the engine works on changes: connect,
    // disconnect, link loss and return. A call that ran host code (an
    // event, the pump hook, a wait) compares it with the value it started
    // with before it goes on with what it holds.
    std::uint64_t generation = 0;
    // Service Ids whose included services are being discovered.
    std::vector<std::string> includeChain;
};

}  // namespace vornik
