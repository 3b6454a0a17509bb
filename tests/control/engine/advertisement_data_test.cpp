#include "advertisement_data.h"

#include <gtest/gtest.h>

namespace vornik {
namespace {

using platform::Advertisement;
using platform::Bytes;
using platform::DataSection;
namespace ad = platform::adtype;

Advertisement WithSections(std::vector<DataSection> sections)
{
    Advertisement advertisement;
    advertisement.dataSections = std::move(sections);
    return advertisement;
}

TEST(AdvertisementData, ServerAddressIsTwelveUpperCaseDigitsMostSignificantFirst)
{
    EXPECT_EQ(FormatServerAddress(0xA4C138F0B27Dull), "A4C138F0B27D");
    EXPECT_EQ(FormatServerAddress(0x1ull), "000000000001");
}

TEST(AdvertisementData, TxPowerIsTheSignedFirstByteOfTheFirstSection)
{
    EXPECT_EQ(TxPowerLevel(WithSections({{ad::kTxPower, {0xF4}}, {ad::kTxPower, {0x04}}})), std::int8_t{-12});
    EXPECT_EQ(TxPowerLevel(WithSections({{ad::kFlags, {0x06}}})), std::nullopt);
    EXPECT_EQ(TxPowerLevel(WithSections({{ad::kTxPower, {}}})), std::nullopt);
    EXPECT_LT(kTxPowerAbsent, -128);
}

struct UuidListCase {
    const char* name;
    std::vector<DataSection> sections;
    std::string servicesWithData;
    std::string solicited;
};

class UuidLists : public testing::TestWithParam<UuidListCase> {};

TEST_P(UuidLists, AreReadLittleEndianWithTheirLengthChecks)
{
    const Advertisement advertisement = WithSections(GetParam().sections);
    EXPECT_EQ(ServicesWithDataText(advertisement), GetParam().servicesWithData);
    EXPECT_EQ(SolicitedServiceUuidsText(advertisement), GetParam().solicited);
}

const Bytes k128{0xFB, 0x34, 0x9B, 0x5F, 0x80, 0x00, 0x00, 0x80, 0x00, 0x10, 0x00, 0x00, 0x0F, 0x18, 0x00, 0x00};

INSTANTIATE_TEST_SUITE_P(
    Sections, UuidLists,
    testing::Values(
        UuidListCase{"none", {}, "", ""},
        UuidListCase{"serviceData16",
                     {{ad::kServiceData16, {0x0A, 0x18, 0x55}}},
                     "0000180A-0000-1000-8000-00805F9B34FB",
                     ""},
        UuidListCase{"serviceData32",
                     {{ad::kServiceData32, {0x78, 0x56, 0x34, 0x12}}},
                     "12345678-0000-1000-8000-00805F9B34FB",
                     ""},
        // 128-bit kinds come after 16-bit ones whatever the packet order.
        UuidListCase{"kindsInOrder",
                     {{ad::kServiceData128, k128}, {ad::kServiceData16, {0x0A, 0x18}}},
                     "0000180A-0000-1000-8000-00805F9B34FB,0000180F-0000-1000-8000-00805F9B34FB",
                     ""},
        UuidListCase{"serviceDataTooShort",
                     {{ad::kServiceData16, {0x0A, 0x18}}, {ad::kServiceData16, {0x0A}},
                      {ad::kServiceData32, {1, 2, 3, 4}}},
                     "0000180A-0000-1000-8000-00805F9B34FB,Expected byte[] length to be at least 2, but instead is 1.",
                     ""},
        UuidListCase{"serviceData128TooShort",
                     {{ad::kServiceData128, {1, 2, 3}}},
                     "Expected byte[] length to be at least 16, but instead is 3.",
                     ""},
        UuidListCase{"solicitedRun",
                     {{ad::kSolicited16, {0x0A, 0x18, 0x0F, 0x18}}},
                     "",
                     "0000180A-0000-1000-8000-00805F9B34FB,0000180F-0000-1000-8000-00805F9B34FB"},
        UuidListCase{"solicitedNoMultiple",
                     {{ad::kSolicited16, {0x0A, 0x18, 0x0F}}},
                     "",
                     "Expected byte[] length to be a multiple of 2, but instead is 3."},
        UuidListCase{"solicited32NoMultiple",
                     {{ad::kSolicited32, {1, 2, 3, 4, 5}}},
                     "",
                     "Expected byte[] length to be a multiple of 4, but instead is 5."},
        UuidListCase{"solicited128",
                     {{ad::kSolicited128, k128}},
                     "",
                     "0000180F-0000-1000-8000-00805F9B34FB"}),
    [](const testing::TestParamInfo<UuidListCase>& info) { return std::string(info.param.name); });

TEST(AdvertisementData, ServiceDataIsFoundByUuidWithoutItsUuidBytes)
{
    const Advertisement advertisement =
        WithSections({{ad::kServiceData16, {0x0A, 0x18, 0x11, 0x22}}, {ad::kServiceData128, Bytes(k128)}});
    Bytes data;
    ASSERT_TRUE(FindServiceData(advertisement, Uuid::FromShort(0x180A), data));
    EXPECT_EQ(data, (Bytes{0x11, 0x22}));
    ASSERT_TRUE(FindServiceData(advertisement, Uuid::FromShort(0x180F), data));
    EXPECT_TRUE(data.empty());
    EXPECT_FALSE(FindServiceData(advertisement, Uuid::FromShort(0x1810), data));
}

TEST(AdvertisementData, ConnectableTypesAreTheFirstTwo)
{
    using platform::AdvertisementType;
    EXPECT_TRUE(IsConnectableType(AdvertisementType::ConnectableUndirected));
    EXPECT_TRUE(IsConnectableType(AdvertisementType::ConnectableDirected));
    EXPECT_FALSE(IsConnectableType(AdvertisementType::ScannableUndirected));
    EXPECT_FALSE(IsConnectableType(AdvertisementType::NonConnectableUndirected));
    EXPECT_FALSE(IsConnectableType(AdvertisementType::ScanResponse));
}

TEST(AdvertisementData, RawReportRebuildsStructuresInGroupOrder)
{
    platform::AdvertisementReceived received;
    received.address = 0xA4C138F0B27Dull;
    received.rawSignalStrengthInDBm = -60;
    received.type = platform::AdvertisementType::ScanResponse;
    // Packet order: name, UUID list, manufacturer data, flags, Tx power.
    received.advertisement = WithSections({{ad::kCompleteName, {'A', 'b'}},
                                           {ad::kComplete16, {0x0A, 0x18}},
                                           {ad::kManufacturerData, {0x59, 0x00, 0x01, 0x02}},
                                           {ad::kFlags, {0x06}},
                                           {ad::kTxPower, {0xF8}}});
    const Bytes expected{0x3E, 0x20, 0x02, 0x01, 0x04, 0x00,                     // header, type, address type
                         0x7D, 0xB2, 0xF0, 0x38, 0xC1, 0xA4,                     // address, LSB first
                         0x14,                                                   // data length 20
                         0x02, 0x01, 0x06,                                       // flags
                         0x02, 0x0A, 0xF8,                                       // Tx power -8
                         0x05, 0xFF, 0x59, 0x00, 0x01, 0x02,                     // manufacturer
                         0x03, 0x03, 0x0A, 0x18,                                 // UUID list
                         0x03, 0x09, 'A', 'b',                                   // name
                         0xC4};                                                  // RSSI -60
    EXPECT_EQ(BuildAdvertisingReport(received, platform::AddressType::Public), expected);
}

TEST(AdvertisementData, RawReportLeavesOutWhatTheOneByteLengthsCannotHold)
{
    platform::AdvertisementReceived received;
    received.type = platform::AdvertisementType::NonConnectableUndirected;
    received.advertisement = WithSections({{ad::kManufacturerData, Bytes(250, 0xAA)}, {ad::kFlags, {0x04}}});
    const Bytes report = BuildAdvertisingReport(received, platform::AddressType::Random);
    const Bytes expected{0x3E, 15, 0x02, 0x01, 0x03, 0x01, 0, 0, 0, 0, 0, 0, 3, 0x02, 0x01, 0x04, 0x00};
    EXPECT_EQ(report, expected);
}

// What a stack leaves out, the control fills in: the type as connectable
// undirected, the raw sections rebuilt from the fields; what it tells stays.
TEST(AdvertisementData, DefaultsFillOnlyWhatTheStackLeftOut)
{
    using platform::AdvertisementType;
    Advertisement fields;
    fields.flags = 0x06;
    fields.localName = "Q";
    fields.txPower = -4;
    fields.serviceData = {{Uuid::FromShort(0x180A), {0x11}}};
    const std::vector<DataSection> rebuilt = {{ad::kFlags, {0x06}},
                                              {ad::kCompleteName, {'Q'}},
                                              {ad::kTxPower, {0xFC}},
                                              {ad::kServiceData16, {0x0A, 0x18, 0x11}}};
    const std::vector<DataSection> told = {{ad::kSolicited16, {0x0F, 0x18}}};
    struct Case {
        std::optional<AdvertisementType> type;
        std::optional<std::vector<DataSection>> sections;
        AdvertisementType expectedType;
        std::vector<DataSection> expectedSections;
    };
    for (const Case& c :
         {Case{std::nullopt, std::nullopt, AdvertisementType::ConnectableUndirected, rebuilt},
          Case{AdvertisementType::ScanResponse, std::nullopt, AdvertisementType::ScanResponse, rebuilt},
          Case{std::nullopt, told, AdvertisementType::ConnectableUndirected, told},
          Case{AdvertisementType::NonConnectableUndirected, told, AdvertisementType::NonConnectableUndirected, told}}) {
        platform::AdvertisementReceived received;
        received.type = c.type;
        received.advertisement = fields;
        received.advertisement.dataSections = c.sections;
        const platform::AdvertisementReceived filled = WithDefaults(received);
        EXPECT_EQ(filled.type, c.expectedType);
        ASSERT_TRUE(filled.advertisement.dataSections.has_value());
        ASSERT_EQ(filled.advertisement.dataSections->size(), c.expectedSections.size());
        for (std::size_t i = 0; i < c.expectedSections.size(); ++i) {
            EXPECT_EQ((*filled.advertisement.dataSections)[i].type, c.expectedSections[i].type);
            EXPECT_EQ((*filled.advertisement.dataSections)[i].data, c.expectedSections[i].data);
        }
        // The readers agree with the filled-in packet without it, too.
        EXPECT_EQ(TxPowerLevel(received.advertisement), TxPowerLevel(filled.advertisement));
        EXPECT_EQ(ServicesWithDataText(received.advertisement), ServicesWithDataText(filled.advertisement));
        EXPECT_EQ(BuildAdvertisingReport(received, platform::AddressType::Public),
                  BuildAdvertisingReport(filled, platform::AddressType::Public));
    }
}

}  // namespace
}  // namespace vornik
