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

constexpr MemberInfo property(std::int32_t id, const char* name, ArgType type, const char* index, bool readOnly)
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

constexpr MemberInfo method(std::int32_t id, const char* name, ArgType result, std::span<const ParamInfo> params)
{
    return {id, name, K::Method, result, nullptr, false, kMethodHelpBase + id, params};
}

constexpr std::array kMembers = {
    property(1, "ActiveScanning", A::Bool, nullptr, RW),
    property(2, "Characteristic", A::Text, nullptr, RW),
    property(3, "CharacteristicCount", A::Short, nullptr, RW),
    property(4, "CharacteristicCachedValue", A::Bytes, kChrIndex, RO),
    property(5, "CharacteristicCanSubscribe", A::Bool, kChrIndex, RO),
    property(6, "CharacteristicDescription", A::Text, kChrIndex, RO),
    property(7, "CharacteristicFlags", A::Short, kChrIndex, RO),
    property(8, "CharacteristicId", A::Text, kChrIndex, RO),
    property(9, "CharacteristicSubscribed", A::Bool, kChrIndex, RW),
    property(10, "CharacteristicUserDescription", A::Bytes, kChrIndex, RW),
    property(11, "CharacteristicUuid", A::Text, kChrIndex, RO),
    property(12, "CharacteristicValueExponent", A::Short, kChrIndex, RO),
    property(13, "CharacteristicValueFormat", A::Long, kChrIndex, RO),
    property(14, "CharacteristicValueFormatCount", A::Short, kChrIndex, RO),
    property(15, "CharacteristicValueFormatIndex", A::Short, kChrIndex, RW),
    property(16, "CharacteristicValueUnit", A::Text, kChrIndex, RO),
    property(17, "DescriptorCount", A::Short, nullptr, RO),
    property(18, "DescriptorCachedValue", A::Bytes, kDscIndex, RO),
    property(19, "DescriptorDescription", A::Text, kDscIndex, RO),
    property(20, "DescriptorId", A::Text, kDscIndex, RO),
    property(21, "DescriptorUuid", A::Text, kDscIndex, RO),
    property(22, "Scanning", A::Bool, nullptr, RO),
    property(23, "ServerId", A::Text, nullptr, RO),
    property(24, "ServerName", A::Text, nullptr, RO),
    property(25, "Service", A::Text, nullptr, RW),
    property(26, "ServiceCount", A::Short, nullptr, RO),
    property(27, "ServiceDescription", A::Text, kSvcIndex, RO),
    property(28, "ServiceId", A::Text, kSvcIndex, RO),
    property(29, "ServiceIncludedSvcIds", A::Text, kSvcIndex, RO),
    property(30, "ServiceParentSvcIds", A::Text, kSvcIndex, RO),
    property(31, "ServiceUuid", A::Text, kSvcIndex, RO),
    property(32, "Timeout", A::Short, nullptr, RW),
    property(33, "CharacteristicCachedValueB", A::ByteArray, kChrIndex, RO),
    property(34, "DescriptorCachedValueB", A::ByteArray, kDscIndex, RO),
    property(35, "AdvertisementManufacturerDataB", A::ByteArray, nullptr, RO),
    property(36, "ValueValueB", A::ByteArray, nullptr, RO),
    MemberInfo{VORNIK_DISPID_AboutBox, "AboutBox", K::Method, A::None, nullptr, false, kAboutBoxHelp, {}},
    MemberInfo{VORNIK_DISPID_OnStartPage, "OnStartPage", K::Method, A::None, nullptr, false, 0, pOnStartPage},
    MemberInfo{VORNIK_DISPID_OnEndPage, "OnEndPage", K::Method, A::None, nullptr, false, 0, {}},
    method(502, "CheckCharacteristicSubscribed", A::Bool, pIndex),
    method(503, "Config", A::Bytes, pConfig),
    method(504, "Connect", A::None, pConnect),
    method(505, "Disconnect", A::None, {}),
    method(506, "Discover", A::None, pDiscover),
    method(507, "DiscoverCharacteristics", A::None, pDiscoverChr),
    method(508, "DiscoverDescriptors", A::None, pSvcChr),
    method(509, "DiscoverServices", A::None, pDiscoverSvc),
    method(510, "DoEvents", A::None, {}),
    method(511, "PostValue", A::None, pPost),
    method(512, "QueryCharacteristicCachedVal", A::Bytes, pIndex),
    method(513, "QueryDescriptorCachedVal", A::Bytes, pIndex),
    method(514, "ReadValue", A::Bytes, pRead),
    method(515, "Select", A::None, pSvcChr),
    method(516, "StartScanning", A::None, pScan),
    method(517, "StopScanning", A::None, {}),
    method(518, "Subscribe", A::None, pSvcChr),
    method(519, "Unsubscribe", A::None, pSvcChr),
    method(520, "WriteValue", A::None, pWrite),
};

bool equalsIgnoreCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

std::span<const MemberInfo> members() { return kMembers; }
std::span<const EventInfo> events() { return vornik::kEvents; }

const MemberInfo* findMember(std::int32_t dispid)
{
    const auto it = std::ranges::find(kMembers, dispid, &MemberInfo::dispid);
    return it == kMembers.end() ? nullptr : &*it;
}

const EventInfo* findEvent(std::int32_t dispid) { return vornik::FindEventInfo(dispid); }

const MemberInfo* findMemberByName(std::string_view name)
{
    const auto it = std::ranges::find_if(kMembers, [&](const MemberInfo& m) { return equalsIgnoreCase(m.name, name); });
    return it == kMembers.end() ? nullptr : &*it;
}

const EventInfo* findEventByName(std::string_view name)
{
    const auto it =
        std::ranges::find_if(vornik::kEvents, [&](const EventInfo& e) { return equalsIgnoreCase(e.name, name); });
    return it == std::end(vornik::kEvents) ? nullptr : &*it;
}

} // namespace vornik::surface
