// What the Advertisement event and the advertisement-only settings report,
// computed from a received advertisement as the platform parsed it. Pure
// functions over the parsed sections: no engine, no radio. Where the stack
// gave no raw sections they are rebuilt from the parsed fields.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "status.h"
#include "uuid.h"

namespace vornik {

// TxPower of an advertisement without a Tx Power Level section. A real
// transmit power is one signed byte (-127 ... +127 dBm), so the lowest 16-bit
// value cannot be mistaken for one.
inline constexpr short kTxPowerAbsent = -32768;
// ManufacturerCompanyId of an advertisement without manufacturer data.
inline constexpr short kNoCompanyId = -1;

// 0xA4C138F0B27D -> "A4C138F0B27D".
std::string FormatServerAddress(std::uint64_t address);

// The signed first byte of the first Tx Power Level section.
std::optional<std::int8_t> TxPowerLevel(const platform::Advertisement& advertisement);

// UUIDs of the service data sections (16-, 32-, then 128-bit kinds), joined
// by ","; a section shorter than its UUID ends the list with the reason.
std::string ServicesWithDataText(const platform::Advertisement& advertisement);

// UUIDs of the service solicitation sections (16-, 32-, then 128-bit kinds),
// joined by ","; a section whose length is no multiple of the UUID size ends
// the list with the reason.
std::string SolicitedServiceUuidsText(const platform::Advertisement& advertisement);

// The data of the service data section for that UUID.
bool FindServiceData(const platform::Advertisement& advertisement, const Uuid& uuid, platform::Bytes& out);

bool IsConnectableType(platform::AdvertisementType type);

// A stack that does not tell the packet type (BlueZ) reports what is taken
// for a connectable undirected advertisement, not a scan response.
inline constexpr platform::AdvertisementType kTypeWhenUnknown = platform::AdvertisementType::ConnectableUndirected;
inline platform::AdvertisementType TypeOf(const platform::AdvertisementReceived& received)
{
    return received.type.value_or(kTypeWhenUnknown);
}

// The packet with the defaults filled in where the stack said nothing: the
// type as above, the raw sections rebuilt from the parsed fields.
platform::AdvertisementReceived WithDefaults(platform::AdvertisementReceived received);

// The advertisement rebuilt as an HCI LE Meta event, LE Advertising Report
// subevent: 0x3E, parameter length, 0x02, one report, event type, address
// type, address (least significant byte first), data length, AD structures,
// RSSI. AD structures: Flags, Tx Power Level, manufacturer data, service UUID
// lists, then every other section, each group in packet order. A structure
// that would not fit the one-byte lengths of the event is left out.
platform::Bytes BuildAdvertisingReport(const platform::AdvertisementReceived& received,
                                       platform::AddressType addressType);

}  // namespace vornik
