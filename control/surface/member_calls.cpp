#include "member_calls.h"

#include "ble_engine.h"
#include "vornik220.h"

#include <cstring>

namespace vornik::surface {
namespace {

constexpr int kNoSuchMember = kNotAnEngineMember;

short AsShort(const EngineValue& v) { return static_cast<short>(v.number); }

int GetShort(int code, short value, EngineValue& out)
{
    out.number = value;
    return code;
}

int GetIndexedProperty(BleEngine& e, std::int32_t dispid, int i, EngineValue& out)
{
    short s = 0;
    int code = 0;
    switch (dispid) {
    case VORNIK_DISPID_CharacteristicCachedValue:
    case VORNIK_DISPID_CharacteristicCachedValueB:
        return e.GetCharacteristicCachedValue(i, out.text);
    case VORNIK_DISPID_CharacteristicCanSubscribe:
        return e.GetCharacteristicCanSubscribe(i, out.flag);
    case VORNIK_DISPID_CharacteristicDescription:
        return e.GetCharacteristicDescription(i, out.text);
    case VORNIK_DISPID_CharacteristicFlags:
        code = e.GetCharacteristicFlags(i, s);
        return GetShort(code, s, out);
    case VORNIK_DISPID_CharacteristicId:
        return e.GetCharacteristicId(i, out.text);
    case VORNIK_DISPID_CharacteristicSubscribed:
        return e.GetCharacteristicSubscribed(i, out.flag);
    case VORNIK_DISPID_CharacteristicUserDescription:
        return e.GetCharacteristicUserDescription(i, out.text);
    case VORNIK_DISPID_CharacteristicUuid:
        return e.GetCharacteristicUuid(i, out.text);
    case VORNIK_DISPID_CharacteristicValueExponent:
        code = e.GetCharacteristicValueExponent(i, s);
        return GetShort(code, s, out);
    case VORNIK_DISPID_CharacteristicValueFormat:
        return e.GetCharacteristicValueFormat(i, out.number);
    case VORNIK_DISPID_CharacteristicValueFormatCount:
        code = e.GetCharacteristicValueFormatCount(i, s);
        return GetShort(code, s, out);
    case VORNIK_DISPID_CharacteristicValueFormatIndex:
        code = e.GetCharacteristicValueFormatIndex(i, s);
        return GetShort(code, s, out);
    case VORNIK_DISPID_CharacteristicValueUnit:
        return e.GetCharacteristicValueUnit(i, out.text);
    case VORNIK_DISPID_DescriptorCachedValue:
    case VORNIK_DISPID_DescriptorCachedValueB:
        return e.GetDescriptorCachedValue(i, out.text);
    case VORNIK_DISPID_DescriptorDescription:
        return e.GetDescriptorDescription(i, out.text);
    case VORNIK_DISPID_DescriptorId:
        return e.GetDescriptorId(i, out.text);
    case VORNIK_DISPID_DescriptorUuid:
        return e.GetDescriptorUuid(i, out.text);
    case VORNIK_DISPID_ServiceDescription:
        return e.GetServiceDescription(i, out.text);
    case VORNIK_DISPID_ServiceId:
        return e.GetServiceId(i, out.text);
    case VORNIK_DISPID_ServiceIncludedSvcIds:
        return e.GetServiceIncludedSvcIds(i, out.text);
    case VORNIK_DISPID_ServiceParentSvcIds:
        return e.GetServiceParentSvcIds(i, out.text);
    case VORNIK_DISPID_ServiceUuid:
        return e.GetServiceUuid(i, out.text);
    default:
        return kNoSuchMember;
    }
}

int GetPlainProperty(BleEngine& e, std::int32_t dispid, EngineValue& out)
{
    short s = 0;
    int code = 0;
    switch (dispid) {
    case VORNIK_DISPID_ActiveScanning:
        return e.GetActiveScanning(out.flag);
    case VORNIK_DISPID_Characteristic:
        return e.GetCharacteristic(out.text);
    case VORNIK_DISPID_CharacteristicCount:
        code = e.GetCharacteristicCount(s);
        return GetShort(code, s, out);
    case VORNIK_DISPID_DescriptorCount:
        code = e.GetDescriptorCount(s);
        return GetShort(code, s, out);
    case VORNIK_DISPID_Scanning:
        return e.GetScanning(out.flag);
    case VORNIK_DISPID_ServerId:
        return e.GetServerId(out.text);
    case VORNIK_DISPID_ServerName:
        return e.GetServerName(out.text);
    case VORNIK_DISPID_Service:
        return e.GetService(out.text);
    case VORNIK_DISPID_ServiceCount:
        code = e.GetServiceCount(s);
        return GetShort(code, s, out);
    case VORNIK_DISPID_Timeout:
        code = e.GetTimeout(s);
        return GetShort(code, s, out);
    case VORNIK_DISPID_AdvertisementManufacturerDataB:
        return e.GetAdvertisementManufacturerDataB(out.text);
    case VORNIK_DISPID_ValueValueB:
        return e.GetValueValueB(out.text);
    default:
        return kNoSuchMember;
    }
}

} // namespace

int CountFor(BleEngine& engine, const char* indexName, int& count)
{
    short s = 0;
    int code = kNoSuchMember;
    if (std::strcmp(indexName, "CharacteristicIndex") == 0)
        code = engine.GetCharacteristicCount(s);
    else if (std::strcmp(indexName, "DescriptorIndex") == 0)
        code = engine.GetDescriptorCount(s);
    else if (std::strcmp(indexName, "ServiceIndex") == 0)
        code = engine.GetServiceCount(s);
    count = s;
    return code;
}

int GetProperty(BleEngine& engine, const MemberInfo& member, const std::vector<EngineValue>& args, EngineValue& out)
{
    if (member.indexName)
        return GetIndexedProperty(engine, member.dispid, args.at(0).number, out);
    return GetPlainProperty(engine, member.dispid, out);
}

int PutProperty(BleEngine& e, const MemberInfo& member, const std::vector<EngineValue>& args)
{
    const EngineValue& value = args.back();
    const int index = member.indexName ? args.front().number : 0;
    switch (member.dispid) {
    case VORNIK_DISPID_ActiveScanning:
        return e.SetActiveScanning(value.flag);
    case VORNIK_DISPID_Characteristic:
        return e.SetCharacteristic(value.text);
    case VORNIK_DISPID_CharacteristicCount:
        return e.SetCharacteristicCount(AsShort(value));
    case VORNIK_DISPID_CharacteristicSubscribed:
        return e.SetCharacteristicSubscribed(index, value.flag);
    case VORNIK_DISPID_CharacteristicUserDescription:
        return e.SetCharacteristicUserDescription(index, value.text);
    case VORNIK_DISPID_CharacteristicValueFormatIndex:
        return e.SetCharacteristicValueFormatIndex(index, AsShort(value));
    case VORNIK_DISPID_Service:
        return e.SetService(value.text);
    case VORNIK_DISPID_Timeout:
        return e.SetTimeout(AsShort(value));
    default:
        return kNoSuchMember;
    }
}

int CallMethod(BleEngine& e, const MemberInfo& member, const std::vector<EngineValue>& a, EngineValue& out)
{
    switch (member.dispid) {
    case VORNIK_DISPID_CheckCharacteristicSubscribed:
        return e.CheckCharacteristicSubscribed(AsShort(a[0]), out.flag);
    case VORNIK_DISPID_Config:
        return e.Config(a[0].text, out.text);
    case VORNIK_DISPID_Connect:
        return e.Connect(a[0].text);
    case VORNIK_DISPID_Disconnect:
        return e.Disconnect();
    case VORNIK_DISPID_Discover:
        return e.Discover(a[0].text, a[1].text, a[2].flag, a[3].text);
    case VORNIK_DISPID_DiscoverCharacteristics:
        return e.DiscoverCharacteristics(a[0].text, a[1].text);
    case VORNIK_DISPID_DiscoverDescriptors:
        return e.DiscoverDescriptors(a[0].text, a[1].text);
    case VORNIK_DISPID_DiscoverServices:
        return e.DiscoverServices(a[0].text, a[1].text);
    case VORNIK_DISPID_DoEvents:
        return e.DoEvents();
    case VORNIK_DISPID_PostValue:
        return e.PostValue(a[0].text, a[1].text, a[2].text);
    case VORNIK_DISPID_QueryCharacteristicCachedVal:
        return e.QueryCharacteristicCachedVal(AsShort(a[0]), out.text);
    case VORNIK_DISPID_QueryDescriptorCachedVal:
        return e.QueryDescriptorCachedVal(AsShort(a[0]), out.text);
    case VORNIK_DISPID_ReadValue:
        return e.ReadValue(a[0].text, a[1].text, a[2].text, out.text);
    case VORNIK_DISPID_Select:
        return e.Select(a[0].text, a[1].text);
    case VORNIK_DISPID_StartScanning:
        return e.StartScanning(a[0].text);
    case VORNIK_DISPID_StopScanning:
        return e.StopScanning();
    case VORNIK_DISPID_Subscribe:
        return e.Subscribe(a[0].text, a[1].text);
    case VORNIK_DISPID_Unsubscribe:
        return e.Unsubscribe(a[0].text, a[1].text);
    case VORNIK_DISPID_WriteValue:
        return e.WriteValue(a[0].text, a[1].text, a[2].text, a[3].text);
    default:
        return kNoSuchMember;
    }
}

} // namespace vornik::surface
