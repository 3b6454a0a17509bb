// Advertising packet content as the platform parses it: the fields and
// every AD structure in packet order.
#include "../advertisement_sections.h"
#include "sim_peripheral.h"

namespace vornik::sim {

platform::Advertisement BuildAdvertisement(const SimAdData& data)
{
    platform::Advertisement ad;
    ad.localName = data.localName;
    ad.flags = data.flags;
    ad.serviceUuids = data.serviceUuids;
    ad.manufacturerData = data.manufacturerData;
    ad.dataSections = platform::BuildDataSections(
        {data.flags, data.serviceUuids, data.localName, data.txPower, data.serviceData, data.manufacturerData});
    for (const platform::DataSection& section : data.extraSections)
        ad.dataSections.push_back(section);
    return ad;
}

} // namespace vornik::sim
