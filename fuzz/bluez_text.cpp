// What BlueZ hands the backend as text: object paths, addresses, UUIDs,
// characteristic flags and the names and messages of failed calls. A
// handle, address or UUID is taken only from its one exact form, and a
// failed call never maps to success or to an ATT code of 0.
#include "platform/bluez/bluez_text.h"
#include "fuzz_input.h"

#include <cstdio>

namespace {

std::string Lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    namespace bz = vornik::bluez;
    qc::fuzz::Input in(data, size);
    const std::uint8_t choice = in.Byte();
    const std::size_t split = in.Byte();
    const std::string_view first = in.Bytes(split);
    const std::string_view second = in.Rest();

    for (const std::string_view kind : {"service", "char", "desc"}) {
        const auto handle = bz::HandleFromPath(first, kind);
        if (!handle)
            continue;
        char digits[8];
        std::snprintf(digits, sizeof digits, "%04x", static_cast<unsigned>(*handle));
        FUZZ_CHECK(first.size() >= kind.size() + 4);
        FUZZ_CHECK(Lower(first.substr(first.size() - 4)) == digits);
        FUZZ_CHECK(first.substr(first.size() - 4 - kind.size(), kind.size()) == kind);
    }

    if (const auto address = bz::ParseAddress(first)) {
        FUZZ_CHECK(*address < (std::uint64_t(1) << 48));
        FUZZ_CHECK(Lower(bz::FormatAddress(*address)) == Lower(first));
    }
    if (const auto uuid = bz::ParseUuid(first)) {
        FUZZ_CHECK(bz::FormatUuid(*uuid) == Lower(first));
        FUZZ_CHECK(bz::ParseUuid(bz::FormatUuid(*uuid)) == uuid);
    }

    std::vector<std::string> flags;
    for (std::size_t at = 0; at <= second.size();) {
        const std::size_t comma = std::min(second.find(',', at), second.size());
        flags.emplace_back(second.substr(at, comma - at));
        at = comma + 1;
    }
    (void)bz::PropertiesFromFlags(flags);

    // The name as BlueZ, the bus or anything else spells it.
    static const std::string_view kPrefixes[] = {"org.bluez.Error.", "org.freedesktop.DBus.Error.", ""};
    const std::string name = std::string(kPrefixes[choice % 3]) + std::string(first);
    const auto request = static_cast<bz::Request>(choice / 3 % 3);
    const vornik::platform::GattResult result = bz::MapError(name, second, request);
    FUZZ_CHECK(result.status != vornik::platform::GattStatus::Success);
    FUZZ_CHECK(result.protocolError.has_value() == (result.status == vornik::platform::GattStatus::ProtocolError));
    FUZZ_CHECK(!result.protocolError || *result.protocolError != 0);
    FUZZ_CHECK(result.detail.substr(0, name.size()) == name);
    FUZZ_CHECK(result.detail.find(second) != std::string::npos);
    return 0;
}
