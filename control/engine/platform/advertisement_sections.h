// The AD structures of an advertisement rebuilt from its parsed fields, in
// the order a peripheral usually sends them: what the engine reports as the
// raw sections where the stack gives only the fields (BlueZ), and how the
// simulated radio builds its packets.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "platform.h"

namespace vornik::platform {

// A UUID in advertising order (little-endian): 2, 4 or 16 bytes, the
// shortest form the Bluetooth base UUID allows.
inline Bytes AdvertisingUuidBytes(const Uuid& uuid)
{
    const Uuid base = Uuid::FromShort(0);
    const bool onBase = std::equal(uuid.bytes.begin() + 4, uuid.bytes.end(), base.bytes.begin() + 4);
    if (!onBase)
        return Bytes(uuid.bytes.rbegin(), uuid.bytes.rend());
    const std::size_t size = (uuid.bytes[0] == 0 && uuid.bytes[1] == 0) ? 2 : 4;
    Bytes out;
    for (std::size_t i = 0; i < size; ++i)
        out.push_back(uuid.bytes[3 - i]);
    return out;
}

inline std::vector<DataSection> BuildDataSections(const Advertisement& fields)
{
    std::vector<DataSection> sections;
    if (fields.flags)
        sections.push_back(DataSection{adtype::kFlags, Bytes{*fields.flags}});
    DataSection list16{adtype::kComplete16, {}};
    DataSection list32{adtype::kComplete32, {}};
    DataSection list128{adtype::kComplete128, {}};
    for (const Uuid& uuid : fields.serviceUuids) {
        const Bytes bytes = AdvertisingUuidBytes(uuid);
        DataSection& list = bytes.size() == 2 ? list16 : bytes.size() == 4 ? list32 : list128;
        list.data.insert(list.data.end(), bytes.begin(), bytes.end());
    }
    for (DataSection* list : {&list16, &list32, &list128})
        if (!list->data.empty())
            sections.push_back(*list);
    if (!fields.localName.empty())
        sections.push_back(DataSection{adtype::kCompleteName, Bytes(fields.localName.begin(), fields.localName.end())});
    if (fields.txPower)
        sections.push_back(DataSection{adtype::kTxPower, Bytes{static_cast<std::uint8_t>(*fields.txPower)}});
    for (const ServiceData& section : fields.serviceData) {
        Bytes bytes = AdvertisingUuidBytes(section.uuid);
        const std::uint8_t type = bytes.size() == 2   ? adtype::kServiceData16
                                  : bytes.size() == 4 ? adtype::kServiceData32
                                                      : adtype::kServiceData128;
        bytes.insert(bytes.end(), section.data.begin(), section.data.end());
        sections.push_back(DataSection{type, std::move(bytes)});
    }
    for (const ManufacturerData& section : fields.manufacturerData) {
        Bytes bytes{static_cast<std::uint8_t>(section.companyId & 0xFF),
                    static_cast<std::uint8_t>(section.companyId >> 8)};
        bytes.insert(bytes.end(), section.data.begin(), section.data.end());
        sections.push_back(DataSection{adtype::kManufacturerData, std::move(bytes)});
    }
    return sections;
}

} // namespace vornik::platform
