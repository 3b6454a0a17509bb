// Result of an engine step: 0 or an error code, with the text the host sees.
#pragma once

#include <string>
#include <utility>

namespace vornik {

struct Status {
    int code = 0;
    std::string text;

    bool ok() const { return code == 0; }
    static Status Ok() { return {}; }
    static Status Error(int errorCode, std::string message) { return {errorCode, std::move(message)}; }
};

}  // namespace vornik
