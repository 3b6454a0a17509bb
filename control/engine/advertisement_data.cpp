#include "advertisement_data.h"
#include "platform/advertisement_sections.h"
#include "uuid.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace vornik {

namespace {

using platform::Bytes;
using platform::DataSection;

// One kind of UUID-carrying section: its AD type and the UUID size in bytes.
struct UuidSectionKind {
    std::uint8_t type;
    std::size_t size;
};

constexpr std::array<UuidSectionKind, 3> kServiceDataKinds = {{
    {platform::adtype::kServiceData16, 2},
    {platform::adtype::kServiceData32, 4},
    {platform::adtype::kServiceData128, 16},
}};

constexpr std::array<UuidSectionKind, 3> kSolicitedKinds = {{
    {platform::adtype::kSolicited16, 2},
    {platform::adtype::kSolicited32, 4},
    {platform::adtype::kSolicited128, 16},
}};

// HCI LE Meta event, LE Advertising Report subevent.
constexpr std::uint8_t kLeMetaEvent = 0x3E;
constexpr std::uint8_t kAdvertisingReportSubevent = 0x02;
constexpr std::uint8_t kOneReport = 0x01;
constexpr std::size_t kMaxLengthByte = 0xFF;
// Subevent, report count, event type, address type, six address bytes, data
// length and RSSI: the parameters around the advertising data.
constexpr std::size_t kReportOverhead = 12;

std::string LengthMessage(const char* format, std::size_t expected, std::size_t actual)
{
    char buffer[120];
    std::snprintf(buffer, sizeof buffer, format, static_cast<int>(expected), static_cast<int>(actual));
    return buffer;
}

// Little-endian UUID bytes of an advertisement -> UUID. 2 and 4 bytes sit on
// the Bluetooth base UUID; 16 bytes are the whole UUID, last byte first.
Uuid UuidFromLittleEndian(const std::uint8_t* bytes, std::size_t size)
{
    if (size == 2)
        return Uuid::FromShort(static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8));
    if (size == 4) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < 4; ++i)
            value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
        return Uuid::FromShort32(value);
    }
    Uuid uuid;
    std::reverse_copy(bytes, bytes + 16, uuid.bytes.begin());
    return uuid;
}

void AppendItem(std::string& list, const std::string& item)
{
    if (!list.empty())
        list += ',';
    list += item;
}

// The raw sections of an advertisement, rebuilt from its parsed fields where
// the stack gave none; copies nothing when it gave them.
class SectionsOf {
public:
    explicit SectionsOf(const platform::Advertisement& advertisement)
        : rebuilt_(advertisement.dataSections ? std::vector<DataSection>{} : platform::BuildDataSections(advertisement))
        , sections_(advertisement.dataSections ? *advertisement.dataSections : rebuilt_)
    {
    }
    SectionsOf(const SectionsOf&) = delete;
    SectionsOf& operator=(const SectionsOf&) = delete;
    const std::vector<DataSection>& operator*() const { return sections_; }
    auto begin() const { return sections_.begin(); }
    auto end() const { return sections_.end(); }

private:
    std::vector<DataSection> rebuilt_;
    const std::vector<DataSection>& sections_;
};

const DataSection* FirstSectionOfType(const std::vector<DataSection>& sections, std::uint8_t type)
{
    for (const DataSection& section : sections)
        if (section.type == type)
            return &section;
    return nullptr;
}

bool IsServiceUuidList(std::uint8_t type)
{
    return type >= platform::adtype::kIncomplete16 && type <= platform::adtype::kComplete128;
}

// Rebuilt AD structures come in this order of groups.
int ReportGroup(std::uint8_t type)
{
    if (type == platform::adtype::kFlags)
        return 0;
    if (type == platform::adtype::kTxPower)
        return 1;
    if (type == platform::adtype::kManufacturerData)
        return 2;
    if (IsServiceUuidList(type))
        return 3;
    return 4;
}

Bytes BuildAdStructures(const platform::Advertisement& advertisement)
{
    std::vector<DataSection> sections = *SectionsOf(advertisement);
    if (advertisement.flags && FirstSectionOfType(sections, platform::adtype::kFlags) == nullptr)
        sections.insert(sections.begin(), DataSection{platform::adtype::kFlags, {*advertisement.flags}});
    std::stable_sort(sections.begin(), sections.end(), [](const DataSection& a, const DataSection& b) {
        return ReportGroup(a.type) < ReportGroup(b.type);
    });

    const std::size_t maxData = kMaxLengthByte - kReportOverhead;
    Bytes out;
    for (const DataSection& section : sections) {
        const std::size_t structureSize = 2 + section.data.size();  // length byte, type, data
        if (structureSize - 1 > kMaxLengthByte || out.size() + structureSize > maxData)
            continue;
        out.push_back(static_cast<std::uint8_t>(structureSize - 1));
        out.push_back(section.type);
        out.insert(out.end(), section.data.begin(), section.data.end());
    }
    return out;
}

}  // namespace

std::string FormatServerAddress(std::uint64_t address)
{
    char buffer[13];
    std::snprintf(buffer, sizeof buffer, "%012llX",
                  static_cast<unsigned long long>(address & 0xFFFFFFFFFFFFull));
    return buffer;
}

std::optional<std::int8_t> TxPowerLevel(const platform::Advertisement& advertisement)
{
    const SectionsOf sections(advertisement);
    const DataSection* section = FirstSectionOfType(*sections, platform::adtype::kTxPower);
    if (section == nullptr || section->data.empty())
        return std::nullopt;
    return static_cast<std::int8_t>(section->data[0]);
}

std::string ServicesWithDataText(const platform::Advertisement& advertisement)
{
    std::string list;
    const SectionsOf sections(advertisement);
    for (const UuidSectionKind& kind : kServiceDataKinds) {
        for (const DataSection& section : sections) {
            if (section.type != kind.type)
                continue;
            if (section.data.size() < kind.size) {
                AppendItem(list, LengthMessage("Expected byte[] length to be at least %d, but instead is %d.",
                                               kind.size, section.data.size()));
                return list;
            }
            AppendItem(list, FormatUuid(UuidFromLittleEndian(section.data.data(), kind.size)));
        }
    }
    return list;
}

std::string SolicitedServiceUuidsText(const platform::Advertisement& advertisement)
{
    std::string list;
    const SectionsOf sections(advertisement);
    for (const UuidSectionKind& kind : kSolicitedKinds) {
        for (const DataSection& section : sections) {
            if (section.type != kind.type)
                continue;
            if (section.data.size() % kind.size != 0) {
                AppendItem(list, LengthMessage("Expected byte[] length to be a multiple of %d, but instead is %d.",
                                               kind.size, section.data.size()));
                return list;
            }
            for (std::size_t at = 0; at < section.data.size(); at += kind.size)
                AppendItem(list, FormatUuid(UuidFromLittleEndian(section.data.data() + at, kind.size)));
        }
    }
    return list;
}

bool FindServiceData(const platform::Advertisement& advertisement, const Uuid& uuid, Bytes& out)
{
    const SectionsOf sections(advertisement);
    for (const UuidSectionKind& kind : kServiceDataKinds) {
        for (const DataSection& section : sections) {
            if (section.type != kind.type || section.data.size() < kind.size)
                continue;
            if (UuidFromLittleEndian(section.data.data(), kind.size) == uuid) {
                out.assign(section.data.begin() + static_cast<std::ptrdiff_t>(kind.size), section.data.end());
                return true;
            }
        }
    }
    return false;
}

bool IsConnectableType(platform::AdvertisementType type)
{
    return type == platform::AdvertisementType::ConnectableUndirected ||
           type == platform::AdvertisementType::ConnectableDirected;
}

platform::AdvertisementReceived WithDefaults(platform::AdvertisementReceived received)
{
    received.type = TypeOf(received);
    if (!received.advertisement.dataSections)
        received.advertisement.dataSections = platform::BuildDataSections(received.advertisement);
    return received;
}

Bytes BuildAdvertisingReport(const platform::AdvertisementReceived& received, platform::AddressType addressType)
{
    const Bytes data = BuildAdStructures(received.advertisement);
    Bytes out;
    out.reserve(kReportOverhead + 2 + data.size());
    out.push_back(kLeMetaEvent);
    out.push_back(static_cast<std::uint8_t>(kReportOverhead + data.size()));
    out.push_back(kAdvertisingReportSubevent);
    out.push_back(kOneReport);
    out.push_back(static_cast<std::uint8_t>(TypeOf(received)));
    out.push_back(static_cast<std::uint8_t>(addressType));
    for (int i = 0; i < 6; ++i)
        out.push_back(static_cast<std::uint8_t>(received.address >> (8 * i)));
    out.push_back(static_cast<std::uint8_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    out.push_back(static_cast<std::uint8_t>(static_cast<std::int8_t>(
        std::clamp<int>(received.rawSignalStrengthInDBm, INT8_MIN, INT8_MAX))));
    return out;
}

}  // namespace vornik
