// Turning a characteristic's notifications on and off. bluetoothd carries
// out a StartNotify or StopNotify whose caller stopped waiting: such a call
// is kept for a while, and what it did late is undone, so bluetoothd ends up
// where the engine believes it is.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "../platform.h"

namespace vornik::bluez {

class Core;

// Per characteristic path: the newest notify request, and whether values
// arriving now may come from notifications the engine does not know are on.
class NotifyBook {
public:
    // A new request for path; its number.
    std::uint64_t Begin(const std::string& path);
    bool Newest(const std::string& path, std::uint64_t request) const;
    // While a cancelled StartNotify may have turned notifications on behind
    // the engine's back; a newer request for the path ends it as well.
    void Unwant(const std::string& path, std::uint64_t request);
    void Want(const std::string& path, std::uint64_t request);
    bool Unwanted(const std::string& path) const;

private:
    struct Entry {
        std::uint64_t newest = 0;
        std::uint64_t unwanted = 0; // the request whose values are not wanted; 0 none
    };
    std::map<std::string, Entry> entries_;
    std::uint64_t last_ = 0;
};

// StartNotify (on) or StopNotify of the characteristic at path; answer
// gets the outcome. BlueZ chooses the kind itself: notify where the
// characteristic offers it, else indicate. Returns what to run when the
// request is cancelled (for Completion::OnCancel).
std::function<void()> SetNotifying(const std::shared_ptr<Core>& core, const std::string& path, bool on,
                                   std::function<void(const platform::GattResult&)> answer);

} // namespace vornik::bluez
