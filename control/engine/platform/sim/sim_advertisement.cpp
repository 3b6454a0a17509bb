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
    ad.txPower = data.txPower;
    ad.serviceData = data.serviceData;
    ad.manufacturerData = data.manufacturerData;
    std::vector<platform::DataSection> sections = platform::BuildDataSections(ad);
    sections.insert(sections.end(), data.extraSections.begin(), data.extraSections.end());
    ad.dataSections = std::move(sections);
    return ad;
}

} // namespace vornik::sim
