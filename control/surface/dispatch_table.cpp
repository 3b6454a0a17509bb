#include "dispatch_table.h"

#include "vornik220.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace vornik::surface {
namespace {

using A = ArgType;
using K = MemberKind;

// Help contexts: properties 24001 onwards, methods 44001 onwards, both in
// dispatch-id order; AboutBox 20101.
constexpr std::int32_t kPropertyHelpBase = 24000;
constexpr std::int32_t kMethodHelpBase = 44001 - VORNIK_DISPID_CheckCharacteristicSubscribed;
constexpr std::int32_t kAboutBoxHelp = 20101;

constexpr MemberInfo Property(std::int32_t id, const char* name, ArgType type, const char* index, bool readOnly)
{
    return {id, name, K::Property, type, index, readOnly, kPropertyHelpBase + id, {}};
}

constexpr const char* kChrIndex = "CharacteristicIndex";
constexpr const char* kDscIndex = "DescriptorIndex";
constexpr const char* kSvcIndex = "ServiceIndex";
constexpr bool RO = true;
constexpr bool RW = false;

constexpr ParamInfo pOnStartPage[] = {{"piUnk", A::Any}};
constexpr ParamInfo pIndex[] = {{"index", A::Short}};
constexpr ParamInfo pConfig[] = {{"ConfigurationString", A::Text}};
constexpr ParamInfo pConnect[] = {{"ServerId", A::Text}};
constexpr ParamInfo pDiscover[] = {{"ServiceUuids", A::Text},
                                   {"CharacteristicUuids", A::Text},
                                   {"DiscoverDescriptors", A::Bool},
                                   {"IncludedByServiceId", A::Text}};
constexpr ParamInfo pDiscoverChr[] = {{"ServiceId", A::Text}, {"CharacteristicUuids", A::Text}};
constexpr ParamInfo pSvcChr[] = {{"ServiceId", A::Text}, {"CharacteristicId", A::Text}};
constexpr ParamInfo pDiscoverSvc[] = {{"ServiceUuids", A::Text}, {"IncludedByServiceId", A::Text}};
constexpr ParamInfo pPost[] = {{"ServiceId", A::Text}, {"CharacteristicId", A::Text}, {"Value", A::Bytes}};
constexpr ParamInfo pRead[] = {{"ServiceId", A::Text}, {"CharacteristicId", A::Text}, {"DescriptorId", A::Text}};
constexpr ParamInfo pScan[] = {{"ServiceUuids", A::Text}};
constexpr ParamInfo pWrite[] = {
    {"ServiceId", A::Text}, {"CharacteristicId", A::Text}, {"DescriptorId", A::Text}, {"Value", A::Bytes}};

constexpr MemberInfo Method(std::int32_t id, const char* name, ArgType result, std::span<const ParamInfo> params)
{
    return {id, name, K::Method, result, nullptr, false, kMethodHelpBase + id, params};
}

constexpr std::array kMembers = {
    Property(1, "ActiveScanning", A::Bool, nullptr, RW),
    Property(2, "Characteristic", A::Text, nullptr, RW),
    Property(3, "CharacteristicCount", A::Short, nullptr, RW),
    Property(4, "CharacteristicCachedValue", A::Bytes, kChrIndex, RO),
    Property(5, "CharacteristicCanSubscribe", A::Bool, kChrIndex, RO),
    Property(6, "CharacteristicDescription", A::Text, kChrIndex, RO),
    Property(7, "CharacteristicFlags", A::Short, kChrIndex, RO),
    Property(8, "CharacteristicId", A::Text, kChrIndex, RO),
    Property(9, "CharacteristicSubscribed", A::Bool, kChrIndex, RW),
    Property(10, "CharacteristicUserDescription", A::Bytes, kChrIndex, RW),
    Property(11, "CharacteristicUuid", A::Text, kChrIndex, RO),
    Property(12, "CharacteristicValueExponent", A::Short, kChrIndex, RO),
    Property(13, "CharacteristicValueFormat", A::Long, kChrIndex, RO),
    Property(14, "CharacteristicValueFormatCount", A::Short, kChrIndex, RO),
    Property(15, "CharacteristicValueFormatIndex", A::Short, kChrIndex, RW),
    Property(16, "CharacteristicValueUnit", A::Text, kChrIndex, RO),
    Property(17, "DescriptorCount", A::Short, nullptr, RO),
    Property(18, "DescriptorCachedValue", A::Bytes, kDscIndex, RO),
    Property(19, "DescriptorDescription", A::Text, kDscIndex, RO),
    Property(20, "DescriptorId", A::Text, kDscIndex, RO),
    Property(21, "DescriptorUuid", A::Text, kDscIndex, RO),
    Property(22, "Scanning", A::Bool, nullptr, RO),
    Property(23, "ServerId", A::Text, nullptr, RO),
    Property(24, "ServerName", A::Text, nullptr, RO),
    Property(25, "Service", A::Text, nullptr, RW),
    Property(26, "ServiceCount", A::Short, nullptr, RO),
    Property(27, "ServiceDescription", A::Text, kSvcIndex, RO),
    Property(28, "ServiceId", A::Text, kSvcIndex, RO),
    Property(29, "ServiceIncludedSvcIds", A::Text, kSvcIndex, RO),
    Property(30, "ServiceParentSvcIds", A::Text, kSvcIndex, RO),
    Property(31, "ServiceUuid", A::Text, kSvcIndex, RO),
    Property(32, "Timeout", A::Short, nullptr, RW),
    Property(33, "CharacteristicCachedValueB", A::ByteArray, kChrIndex, RO),
    Property(34, "DescriptorCachedValueB", A::ByteArray, kDscIndex, RO),
    Property(35, "AdvertisementManufacturerDataB", A::ByteArray, nullptr, RO),
    Property(36, "ValueValueB", A::ByteArray, nullptr, RO),
    MemberInfo{VORNIK_DISPID_AboutBox, "AboutBox", K::Method, A::None, nullptr, false, kAboutBoxHelp, {}},
    MemberInfo{VORNIK_DISPID_OnStartPage, "OnStartPage", K::Method, A::None, nullptr, false, 0, pOnStartPage},
    MemberInfo{VORNIK_DISPID_OnEndPage, "OnEndPage", K::Method, A::None, nullptr, false, 0, {}},
    Method(502, "CheckCharacteristicSubscribed", A::Bool, pIndex),
    Method(503, "Config", A::Bytes, pConfig),
    Method(504, "Connect", A::None, pConnect),
    Method(505, "Disconnect", A::None, {}),
    Method(506, "Discover", A::None, pDiscover),
    Method(507, "DiscoverCharacteristics", A::None, pDiscoverChr),
    Method(508, "DiscoverDescriptors", A::None, pSvcChr),
    Method(509, "DiscoverServices", A::None, pDiscoverSvc),
    Method(510, "DoEvents", A::None, {}),
    Method(511, "PostValue", A::None, pPost),
    Method(512, "QueryCharacteristicCachedVal", A::Bytes, pIndex),
    Method(513, "QueryDescriptorCachedVal", A::Bytes, pIndex),
    Method(514, "ReadValue", A::Bytes, pRead),
    Method(515, "Select", A::None, pSvcChr),
    Method(516, "StartScanning", A::None, pScan),
    Method(517, "StopScanning", A::None, {}),
    Method(518, "Subscribe", A::None, pSvcChr),
    Method(519, "Unsubscribe", A::None, pSvcChr),
    Method(520, "WriteValue", A::None, pWrite),
};

bool EqualsIgnoreCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

std::span<const MemberInfo> Members() { return kMembers; }
std::span<const EventInfo> Events() { return vornik::kEvents; }

const MemberInfo* FindMember(std::int32_t dispid)
{
    const auto it = std::ranges::find(kMembers, dispid, &MemberInfo::dispid);
    return it == kMembers.end() ? nullptr : &*it;
}

const EventInfo* FindEvent(std::int32_t dispid) { return vornik::FindEventInfo(dispid); }

const MemberInfo* FindMemberByName(std::string_view name)
{
    const auto it = std::ranges::find_if(kMembers, [&](const MemberInfo& m) { return EqualsIgnoreCase(m.name, name); });
    return it == kMembers.end() ? nullptr : &*it;
}

const EventInfo* FindEventByName(std::string_view name)
{
    const auto it =
        std::ranges::find_if(vornik::kEvents, [&](const EventInfo& e) { return EqualsIgnoreCase(e.name, name); });
    return it == std::end(vornik::kEvents) ? nullptr : &*it;
}

} // namespace vornik::surface
