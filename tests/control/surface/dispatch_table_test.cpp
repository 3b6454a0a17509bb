#include "dispatch_table.h"
#include "value_formats.h"

#include "vornik220.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace vornik::surface {
namespace {

template <class Params>
std::vector<std::string> paramNames(const Params& params)
{
    std::vector<std::string> names;
    for (const auto& p : params)
        names.emplace_back(p.name);
    return names;
}

TEST(DispatchTable, PropertiesAreNumberedOneToThirtySix)
{
    int properties = 0;
    for (const auto& m : Members())
        if (m.kind == MemberKind::Property) {
            ++properties;
            EXPECT_EQ(m.dispid, properties) << m.name;
        }
    EXPECT_EQ(properties, 36);
    EXPECT_STREQ(FindMember(1)->name, "ActiveScanning");
    EXPECT_STREQ(FindMember(32)->name, "Timeout");
    EXPECT_STREQ(FindMember(36)->name, "ValueValueB");
}

TEST(DispatchTable, ReadWritePropertiesAreExactlyThese)
{
    std::set<std::string> writable;
    for (const auto& m : Members())
        if (m.kind == MemberKind::Property && !m.readOnly)
            writable.insert(m.name);
    const std::set<std::string> expected = {"ActiveScanning",
                                            "Characteristic",
                                            "CharacteristicCount",
                                            "CharacteristicSubscribed",
                                            "CharacteristicUserDescription",
                                            "CharacteristicValueFormatIndex",
                                            "Service",
                                            "Timeout"};
    EXPECT_EQ(writable, expected);
}

TEST(DispatchTable, IndexedPropertiesNameTheirIndex)
{
    EXPECT_STREQ(FindMember(VORNIK_DISPID_CharacteristicId)->indexName, "CharacteristicIndex");
    EXPECT_STREQ(FindMember(VORNIK_DISPID_DescriptorCachedValueB)->indexName, "DescriptorIndex");
    EXPECT_STREQ(FindMember(VORNIK_DISPID_ServiceParentSvcIds)->indexName, "ServiceIndex");
    EXPECT_EQ(FindMember(VORNIK_DISPID_ServiceCount)->indexName, nullptr);
    EXPECT_EQ(FindMember(VORNIK_DISPID_ValueValueB)->indexName, nullptr);
}

struct HelpCase {
    std::int32_t dispid;
    std::int32_t helpContext;
};

TEST(DispatchTable, HelpContexts)
{
    const HelpCase cases[] = {
        {VORNIK_DISPID_ActiveScanning, 24001},
        {VORNIK_DISPID_Timeout, 24032},
        {VORNIK_DISPID_CheckCharacteristicSubscribed, 44001},
        {VORNIK_DISPID_DoEvents, 44009},
        {VORNIK_DISPID_WriteValue, 44019},
        {VORNIK_DISPID_AboutBox, 20101},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindMember(c.dispid)->helpContext, c.helpContext) << c.dispid;
    EXPECT_EQ(FindEvent(VORNIK_EVENT_Advertisement)->helpContext, 34000);
    EXPECT_EQ(FindEvent(VORNIK_EVENT_WriteResponse)->helpContext, 34012);
}

TEST(DispatchTable, MethodParametersInOrder)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(paramNames(FindMember(VORNIK_DISPID_Discover)->params),
              (V{"ServiceUuids", "CharacteristicUuids", "DiscoverDescriptors", "IncludedByServiceId"}));
    EXPECT_EQ(paramNames(FindMember(VORNIK_DISPID_WriteValue)->params),
              (V{"ServiceId", "CharacteristicId", "DescriptorId", "Value"}));
    EXPECT_EQ(FindMember(VORNIK_DISPID_WriteValue)->params[3].type, ArgType::Bytes);
    EXPECT_EQ(FindMember(VORNIK_DISPID_Connect)->params[0].type, ArgType::Text);
    EXPECT_TRUE(FindMember(VORNIK_DISPID_Disconnect)->params.empty());
    EXPECT_EQ(FindMember(VORNIK_DISPID_ReadValue)->type, ArgType::Bytes);
}

TEST(DispatchTable, EventsWithTheirParameters)
{
    ASSERT_EQ(Events().size(), 13u);
    const auto* advertisement = FindEvent(VORNIK_EVENT_Advertisement);
    EXPECT_EQ(paramNames(advertisement->params),
              (std::vector<std::string>{"ServerId", "Name", "RSSI", "TxPower", "ServiceUuids", "ServicesWithData",
                                        "SolicitedServiceUuids", "ManufacturerCompanyId", "ManufacturerData",
                                        "IsConnectable", "IsScanResponse"}));
    EXPECT_EQ(FindEvent(VORNIK_EVENT_Value)->params.size(), 6u);
    EXPECT_EQ(FindEvent(VORNIK_EVENT_Value)->params[5].type, EventArgType::Bytes);
    EXPECT_EQ(FindEvent(14), nullptr);
}

TEST(DispatchTable, NamesAreFoundWithoutCase)
{
    EXPECT_EQ(FindMemberByName("config")->dispid, VORNIK_DISPID_Config);
    EXPECT_EQ(FindMemberByName("SERVICECOUNT")->dispid, VORNIK_DISPID_ServiceCount);
    EXPECT_EQ(FindEventByName("writeresponse")->dispid, VORNIK_EVENT_WriteResponse);
    EXPECT_EQ(FindMemberByName("Nothing"), nullptr);
}

TEST(DispatchTable, ValueFormatsNamesAndHelpStrings)
{
    EXPECT_STREQ(ValueFormatName(vfUndefined), "vfUndefined");
    EXPECT_STREQ(ValueFormatHelp(vfUInt8), "UInt 8");
    EXPECT_STREQ(ValueFormatHelp(vfSInt128), "SInt 128");
    EXPECT_STREQ(ValueFormatHelp(vfFloat32), "Float 32");
    EXPECT_STREQ(ValueFormatHelp(vfDUInt16), "DUInt 16");
    EXPECT_STREQ(ValueFormatHelp(vfUtf16Str), "Utf 16Str");
    EXPECT_STREQ(ValueFormatName(vfStruct), "vfStruct");
    EXPECT_EQ(vfStruct, 27);
    EXPECT_EQ(ValueFormatHelp(28), nullptr);
    EXPECT_EQ(ValueFormatName(-1), nullptr);
}

} // namespace
} // namespace vornik::surface
