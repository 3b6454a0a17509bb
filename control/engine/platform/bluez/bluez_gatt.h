// The GATT objects through BlueZ: services, their characteristics and descriptors.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "../platform.h"
#include "bluez_core.h"
#include "bluez_text.h"

namespace vornik::bluez {

using Options = std::map<std::string, sdbus::Variant>;

platform::GattResult Ok();
platform::GattResult Unreachable(std::string detail);
platform::GattResult Failed(const CallError& error, Request request);

template <class Result>
Result WithStatus(const platform::GattResult& status)
{
    Result result;
    static_cast<platform::GattResult&>(result) = status;
    return result;
}

Uuid UuidOf(const Properties* properties);

// A request the engine stopped waiting for drops its bus call: the reply,
// should it come, is handed to nobody.
template <class Result>
void DropOnCancel(const platform::Completion<Result>& done, sdbus::PendingAsyncCall call)
{
    done.OnCancel([call]() mutable { call.cancel(); });
}

// The services at paths, in handle order, those of uuid only when it is
// given; paths without a usable handle are left out.
std::vector<std::shared_ptr<platform::GattService>>
MakeServices(const std::shared_ptr<Core>& core, std::vector<std::string> paths, const std::optional<Uuid>& uuid);

} // namespace vornik::bluez
