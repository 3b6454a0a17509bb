// Advertisements from any device in range: the fuzzer's bytes are the AD
// structures of a packet (length, type, data). The reported texts and the
// raw-data rebuild must stay inside the sections and inside the one-byte
// lengths of the rebuilt event.
#include "advertisement_data.h"
#include "fuzz_input.h"

namespace {

using vornik::platform::Bytes;

// Splits the packet into sections as a receiver does; a length past the
// end ends the packet.
vornik::platform::Advertisement Sections(std::string_view packet)
{
    vornik::platform::Advertisement ad;
    std::vector<vornik::platform::DataSection> sections;
    std::size_t at = 0;
    while (at < packet.size()) {
        const std::size_t length = static_cast<std::uint8_t>(packet[at]);
        if (length == 0 || at + 1 + length > packet.size())
            break;
        vornik::platform::DataSection section;
        section.type = static_cast<std::uint8_t>(packet[at + 1]);
        section.data.assign(packet.begin() + static_cast<std::ptrdiff_t>(at + 2),
                            packet.begin() + static_cast<std::ptrdiff_t>(at + 1 + length));
        if (section.type == vornik::platform::adtype::kFlags && !section.data.empty())
            ad.flags = section.data.front();
        if (section.type == vornik::platform::adtype::kManufacturerData && section.data.size() >= 2)
            ad.manufacturerData.push_back({static_cast<std::uint16_t>(section.data[0] | section.data[1] << 8),
                                           Bytes(section.data.begin() + 2, section.data.end())});
        sections.push_back(std::move(section));
        at += 1 + length;
    }
    ad.dataSections = std::move(sections);
    return ad;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qc::fuzz::Input in(data, size);
    vornik::platform::AdvertisementReceived received;
    // 5: a stack that does not tell the type.
    if (const std::uint8_t type = in.Byte() % 6; type < 5)
        received.type = static_cast<vornik::platform::AdvertisementType>(type);
    received.rawSignalStrengthInDBm = static_cast<std::int8_t>(in.Byte());
    const std::uint8_t copies = in.Byte() % 4; // the packet repeated: longer than any real one
    std::string packet(in.Rest());
    const std::string once = packet;
    for (int i = 0; i < copies; ++i)
        packet += once;
    received.address = 0xA4C138F0B27DULL;
    received.advertisement = Sections(packet);
    const auto& ad = received.advertisement;

    (void)vornik::TxPowerLevel(ad);
    const std::string withData = vornik::ServicesWithDataText(ad);
    const std::string solicited = vornik::SolicitedServiceUuidsText(ad);
    FUZZ_CHECK(withData.size() <= 64 + 37 * packet.size());
    FUZZ_CHECK(solicited.size() <= 64 + 37 * packet.size());
    // The data of a 16-bit service data section is found as the data of
    // the first such section with that UUID.
    for (const auto& section : *ad.dataSections) {
        if (section.type != vornik::platform::adtype::kServiceData16 || section.data.size() < 2)
            continue;
        const auto uuid = vornik::Uuid::FromShort(static_cast<std::uint16_t>(section.data[0] | section.data[1] << 8));
        Bytes found;
        FUZZ_CHECK(vornik::FindServiceData(ad, uuid, found));
        for (const auto& first : *ad.dataSections) {
            if (first.type == section.type && first.data.size() >= 2 && first.data[0] == section.data[0] &&
                first.data[1] == section.data[1]) {
                FUZZ_CHECK(found == Bytes(first.data.begin() + 2, first.data.end()));
                break;
            }
        }
    }

    for (const auto addressType : {vornik::platform::AddressType::Public, vornik::platform::AddressType::Random}) {
        const Bytes report = vornik::BuildAdvertisingReport(received, addressType);
        // 0x3E, parameter length, then the parameters: the length byte is true.
        FUZZ_CHECK(report.size() >= 2 && report[0] == 0x3E);
        FUZZ_CHECK(report[1] == report.size() - 2);
        const std::size_t dataLength = report[12];
        FUZZ_CHECK(report.size() == 13 + dataLength + 1);
        // The AD structures inside walk exactly to the RSSI byte.
        std::size_t at = 13;
        while (at < 13 + dataLength) {
            FUZZ_CHECK(report[at] != 0);
            at += 1 + report[at];
        }
        FUZZ_CHECK(at == 13 + dataLength);
    }
    return 0;
}
