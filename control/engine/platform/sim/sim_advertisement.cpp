// Advertising packet content as the platform parses it: the fields and
// every AD structure in packet order.
#include "sim_peripheral.h"

namespace vornik::sim {

namespace {

using platform::DataSection;
namespace adtype = platform::adtype;

// Bytes of a UUID in advertising order (little-endian), 2, 4 or 16 long.
Bytes UuidBytes(const Uuid& uuid)
{
    const Uuid base16 = Uuid::FromShort(0);
    bool onBase = std::equal(uuid.bytes.begin() + 4, uuid.bytes.end(), base16.bytes.begin() + 4);
    std::size_t size = 16;
    if (onBase)
        size = (uuid.bytes[0] == 0 && uuid.bytes[1] == 0) ? 2 : 4;
    Bytes out;
    if (size == 16) {
        out.assign(uuid.bytes.rbegin(), uuid.bytes.rend());
    } else {
        for (std::size_t i = 0; i < size; ++i)
            out.push_back(uuid.bytes[3 - i]);
    }
    return out;
}

}  // namespace

platform::Advertisement BuildAdvertisement(const SimAdData& data)
{
    platform::Advertisement ad;
    ad.localName = data.localName;
    ad.flags = data.flags;
    ad.serviceUuids = data.serviceUuids;
    ad.manufacturerData = data.manufacturerData;
    if (data.flags)
        ad.dataSections.push_back(DataSection{adtype::kFlags, Bytes{*data.flags}});
    DataSection list16{adtype::kComplete16, {}};
    DataSection list32{adtype::kComplete32, {}};
    DataSection list128{adtype::kComplete128, {}};
    for (const Uuid& uuid : data.serviceUuids) {
        Bytes bytes = UuidBytes(uuid);
        DataSection& list = bytes.size() == 2 ? list16 : bytes.size() == 4 ? list32 : list128;
        list.data.insert(list.data.end(), bytes.begin(), bytes.end());
    }
    for (DataSection* list : {&list16, &list32, &list128})
        if (!list->data.empty())
            ad.dataSections.push_back(*list);
    if (!data.localName.empty())
        ad.dataSections.push_back(DataSection{adtype::kCompleteName, Bytes(data.localName.begin(), data.localName.end())});
    if (data.txPower)
        ad.dataSections.push_back(DataSection{adtype::kTxPower, Bytes{static_cast<std::uint8_t>(*data.txPower)}});
    for (const auto& [uuid, payload] : data.serviceData) {
        Bytes bytes = UuidBytes(uuid);
        std::uint8_t type = bytes.size() == 2 ? adtype::kServiceData16
                            : bytes.size() == 4 ? adtype::kServiceData32
                                                : adtype::kServiceData128;
        bytes.insert(bytes.end(), payload.begin(), payload.end());
        ad.dataSections.push_back(DataSection{type, bytes});
    }
    for (const platform::ManufacturerData& section : data.manufacturerData) {
        Bytes bytes{static_cast<std::uint8_t>(section.companyId & 0xFF), static_cast<std::uint8_t>(section.companyId >> 8)};
        bytes.insert(bytes.end(), section.data.begin(), section.data.end());
        ad.dataSections.push_back(DataSection{adtype::kManufacturerData, bytes});
    }
    for (const DataSection& section : data.extraSections)
        ad.dataSections.push_back(section);
    return ad;
}

}  // namespace vornik::sim
