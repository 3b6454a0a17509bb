#include "object_id.h"

#include <cctype>
#include <cstdio>

#include "errors.h"

namespace vornik {

namespace {
constexpr std::size_t kHandleDigits = 4;
constexpr std::string_view kNoHandles = "00000000";
}  // namespace

Status BuildObjectId(std::uint16_t serviceHandle, std::uint16_t characteristicHandle,
                     std::uint16_t descriptorHandle, std::string& out)
{
    if (serviceHandle == 0)
        return Status::Error(err::kBadArgument, std::string(text::kNeedServiceHandle));
    if (characteristicHandle == 0 && descriptorHandle != 0)
        return Status::Error(err::kBadArgument, std::string(text::kNeedCharacteristicHandle));
    char buffer[13];
    std::snprintf(buffer, sizeof buffer, "%04X%04X%04X", static_cast<unsigned>(serviceHandle),
                  static_cast<unsigned>(characteristicHandle), static_cast<unsigned>(descriptorHandle));
    out = buffer;
    return Status::Ok();
}

std::string OwningServiceId(std::string_view id)
{
    return std::string(id.substr(0, kHandleDigits)) + std::string(kNoHandles);
}

std::string NormaliseId(std::string_view id)
{
    while (!id.empty() && id.front() == ' ')
        id.remove_prefix(1);
    while (!id.empty() && id.back() == ' ')
        id.remove_suffix(1);
    std::string out(id);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace vornik
