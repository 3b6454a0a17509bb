// Scanning, the Advertisement event and the advertisement-only settings.
#include "sim_fixture.h"

namespace vornik::test {
namespace {

using sim::SimOp;
using Events = std::vector<std::string>;
namespace ad = platform::adtype;

constexpr std::uint64_t kOtherAddress = 0x0000C0FFEE01ull;
const std::string kMainUuid = "0000FFE0-0000-1000-8000-00805F9B34FB";

class Scanning : public EngineOnSim {
protected:
    Scanning()
    {
        radio_->SetAdvertisingInterval(std::chrono::milliseconds(5));
        sim::SimAdData& data = gauge_->Advertising().data;
        data.txPower = -8;
        data.serviceUuids = {Uuid::FromShort(0xFFE0)};
        data.serviceData = {{Uuid::FromShort(0x180A), {0x11}}};
        data.manufacturerData = {{0x0059, {0x01, 0x02}}, {0x004C, {0x03}}};
        data.extraSections = {{ad::kSolicited16, {0x0F, 0x18}}};
    }

    bool PumpUntilAdvertisement(int count = 1)
    {
        return PumpUntil([&] { return events_.CountPrefix("Advertisement(") >= count; });
    }

    std::string Setting(const std::string& name, int& code)
    {
        std::string reply;
        code = engine_->Config(name, reply);
        return code == 0 ? reply : engine_->LastError();
    }
};

const std::string kGaugeAdvertisement =
    "Advertisement(A4C138F0B27D,QN-Sim,-60,-8,[" + kMainUuid + "],[0000180A-0000-1000-8000-00805F9B34FB],"
    "[0000180F-0000-1000-8000-00805F9B34FB],89,01 02,True,False)";

TEST_F(Scanning, StartScanningRaisesStartScanOnceAndReportsAdvertisements)
{
    Config("LogLevel=3");
    ASSERT_EQ(engine_->StartScanning(""), 0);
    EXPECT_EQ(events_.events, (Events{"StartScan()"}));
    EXPECT_EQ(events_.LogsOfType("Scanning"),
              (Events{"2|Scanning|Scanning is starting.",
                      "3|Scanning|Scanning parameters:\r\n\tActive scanning: 0\r\n\tService UUIDs: .",
                      "1|Scanning|Scanning started."}));
    ASSERT_EQ(engine_->StartScanning(""), 0);
    EXPECT_EQ(events_.CountPrefix("StartScan("), 1);
    EXPECT_EQ(radio_->Count(SimOp::DefaultAdapter), 1);
    ASSERT_TRUE(PumpUntilAdvertisement());
    EXPECT_EQ(events_.Without("StartScan(").front(), kGaugeAdvertisement);
    bool scanning = false;
    engine_->GetScanning(scanning);
    EXPECT_TRUE(scanning);
}

TEST_F(Scanning, StopScanningRaisesStopScanFromTheStoppedHandler)
{
    Config("LogLevel=2");
    ASSERT_EQ(engine_->StartScanning(""), 0);
    events_.Clear();
    ASSERT_EQ(engine_->StopScanning(), 0);
    EXPECT_EQ(events_.Without("Advertisement("), (Events{"StopScan(0,)"}));
    EXPECT_EQ(events_.LogsOfType("Scanning"), (Events{"2|Scanning|Scanning is stopping.", "1|Scanning|Scanning stopped."}));
    bool scanning = true;
    engine_->GetScanning(scanning);
    EXPECT_FALSE(scanning);
    events_.Clear();
    ASSERT_EQ(engine_->StopScanning(), 0);
    EXPECT_TRUE(events_.events.empty());
}

TEST_F(Scanning, StopScanningWaitsNoLongerThanTheTimeout)
{
    ASSERT_EQ(engine_->StartScanning(""), 0);
    radio_->SetScanStopDelay(std::chrono::seconds(30));
    ASSERT_EQ(engine_->SetTimeout(1), 0);
    EXPECT_EQ(engine_->StopScanning(), 301);
    EXPECT_EQ(engine_->LastError(), "Timeout.");
    EXPECT_EQ(events_.CountPrefix("StopScan("), 0);
    bool scanning = false;
    engine_->GetScanning(scanning);
    EXPECT_TRUE(scanning) << "still stopping";
}

TEST_F(Scanning, TheFilterPassesOnlyMatchingAdvertisers)
{
    radio_->AddPeripheral(kOtherAddress, "Other");
    Config("LogLevel=3");
    ASSERT_EQ(engine_->StartScanning("ffe0,0xFFE0"), 0);
    EXPECT_EQ(events_.events.front(), "StartScan(" + kMainUuid + ")");
    EXPECT_TRUE(events_.HasLog("3|Scanning|Scanning parameters:\r\n\tActive scanning: 0\r\n\tService UUIDs: " +
                               kMainUuid + "."));
    ASSERT_TRUE(PumpUntilAdvertisement(3));
    for (const std::string& event : events_.Without("StartScan("))
        EXPECT_EQ(event, kGaugeAdvertisement);
}

TEST_F(Scanning, AdapterChecksAndBadUuidsFail)
{
    struct Case {
        sim::SimAdapterState adapter;
        std::string uuids;
        int code;
        std::string text;
    };
    for (const Case& c : {Case{sim::SimAdapterState::Missing, "", 613, "No Bluetooth adapter found."},
                          Case{sim::SimAdapterState::NoLowEnergy, "", 613,
                               "Bluetooth adapter does not support Low Energy."},
                          Case{sim::SimAdapterState::Present, "180A,12345", 600,
                               "UUIDs hexadecimal strings must represent either 16-, 32-, or 128-bit values."}}) {
        radio_->SetAdapterState(c.adapter);
        EXPECT_EQ(engine_->StartScanning(c.uuids), c.code);
        EXPECT_EQ(engine_->LastError(), c.text);
    }
    EXPECT_TRUE(events_.events.empty());
    bool scanning = true;
    engine_->GetScanning(scanning);
    EXPECT_FALSE(scanning);
}

TEST_F(Scanning, ScanStartedTimeoutZeroReportsFailureWithoutWaiting)
{
    radio_->SetScanStartDelay(std::chrono::seconds(10));
    Config("ScanStartedTimeout=0");
    ASSERT_EQ(engine_->StartScanning(""), 0);
    EXPECT_TRUE(events_.HasLog("1|Scanning|Scanning failed to start."));
    EXPECT_TRUE(events_.events.empty());
    bool scanning = true;
    engine_->GetScanning(scanning);
    EXPECT_FALSE(scanning) << "a 10 s start was not waited for";
}

TEST_F(Scanning, ASlowStartWithinScanStartedTimeoutIsWaitedFor)
{
    radio_->SetScanStartDelay(std::chrono::milliseconds(100));
    Config("ScanStartedTimeout=10");
    ASSERT_EQ(engine_->StartScanning(""), 0);
    EXPECT_EQ(events_.events.front(), "StartScan()");
}

TEST_F(Scanning, APlatformAbortRaisesError603ThenStopScan)
{
    ASSERT_EQ(engine_->StartScanning(""), 0);
    events_.Clear();
    radio_->AbortScans(platform::BluetoothError::RadioNotAvailable);
    ASSERT_TRUE(PumpUntil([&] { return events_.CountPrefix("StopScan(") > 0; }));
    EXPECT_EQ(events_.Without("Advertisement("),
              (Events{"Error(603,Scanning was aborted for the following reason: RadioNotAvailable)",
                      "StopScan(603,RadioNotAvailable)"}));
    bool scanning = true;
    engine_->GetScanning(scanning);
    EXPECT_FALSE(scanning);
}

TEST_F(Scanning, ActiveScanningCannotChangeWhileScanning)
{
    ASSERT_EQ(engine_->StartScanning(""), 0);
    EXPECT_EQ(engine_->SetActiveScanning(true), 602);
    EXPECT_EQ(engine_->LastError(), "You cannot change the ActiveScanning property while scanning.");
    EXPECT_EQ(engine_->SetActiveScanning(false), 0);
    ASSERT_EQ(engine_->StopScanning(), 0);
    EXPECT_EQ(engine_->SetActiveScanning(true), 0);
}

TEST_F(Scanning, ActiveScanningReportsScanResponses)
{
    sim::SimAdData response;
    response.localName = "QN-Sim Response";
    gauge_->Advertising().scanResponse = response;
    ASSERT_EQ(engine_->SetActiveScanning(true), 0);
    ASSERT_EQ(engine_->StartScanning(""), 0);
    ASSERT_TRUE(PumpUntilAdvertisement(2));
    EXPECT_EQ(events_.Without("StartScan(")[1],
              "Advertisement(A4C138F0B27D,QN-Sim Response,-60,-32768,[],[],[],-1,,False,True)");
}

TEST_F(Scanning, AnAdvertisementWithoutManufacturerDataOrTxPower)
{
    gauge_->Advertising().enabled = false;
    auto other = radio_->AddPeripheral(kOtherAddress, "Other");
    other->Advertising().type = platform::AdvertisementType::NonConnectableUndirected;
    other->Advertising().rssi = -91;
    ASSERT_EQ(engine_->StartScanning(""), 0);
    ASSERT_TRUE(PumpUntilAdvertisement());
    EXPECT_EQ(events_.Without("StartScan(").front(), "Advertisement(0000C0FFEE01,Other,-91,-32768,[],[],[],-1,,False,False)");
}

TEST_F(Scanning, AMissingNameIsAskedForOnlyWhenConfigured)
{
    gauge_->Advertising().data.localName.clear();
    std::vector<std::string> names;
    for (const char* setting : {"QueryAdditionalDeviceInfo=False", "QueryAdditionalDeviceInfo=True"}) {
        Config(setting);
        events_.Clear();
        const int asked = radio_->Count(SimOp::DeviceFromAddress);
        ASSERT_EQ(engine_->StartScanning(""), 0);
        ASSERT_TRUE(PumpUntilAdvertisement());
        ASSERT_EQ(engine_->StopScanning(), 0);
        names.push_back(events_.Without("StartScan(").front().substr(0, 34));
        names.push_back(radio_->Count(SimOp::DeviceFromAddress) > asked ? "asked" : "not asked");
    }
    EXPECT_EQ(names, (Events{"Advertisement(A4C138F0B27D,,-60,-8", "not asked", "Advertisement(A4C138F0B27D,QN-Sim,",
                             "asked"}));
}

TEST_F(Scanning, AMissingNameIsAskedForOncePerAddressAndScan)
{
    gauge_->Advertising().data.localName.clear();
    gauge_->SetLatency(SimOp::DeviceFromAddress, std::chrono::milliseconds(30));
    Config("QueryAdditionalDeviceInfo=True");
    ASSERT_EQ(engine_->StartScanning(""), 0);
    ASSERT_TRUE(PumpUntilAdvertisement(10));
    ASSERT_EQ(engine_->StopScanning(), 0);
    // Packets that arrived during the 30 ms look-up did not start their own.
    EXPECT_EQ(radio_->Count(SimOp::DeviceFromAddress), 1);
    EXPECT_GE(events_.CountPrefix("Advertisement(A4C138F0B27D,QN-Sim,"), 1);
}

TEST_F(Scanning, AdvertisementSettingsAnswerOnlyInsideTheHandler)
{
    std::vector<std::pair<std::string, std::string>> answers;
    bool asked = false;
    events_.onAdvertisement = [&](const std::string&) {
        if (asked)
            return;  // a nested advertisement during the raw-data query
        asked = true;
        for (const char* name :
             {"ManufacturerDataCount", "ManufacturerCompanyId[1]", "ManufacturerData(1)", "ManufacturerData[2]",
              "ServiceData[180A]", "ServiceData[1810]", "AdvertisementRawData"}) {
            int code = 0;
            const std::string reply = Setting(name, code);
            answers.emplace_back(name, std::to_string(code) + ":" + EventRecorder::Hex(reply));
        }
        std::string data;
        engine_->GetAdvertisementManufacturerDataB(data);
        answers.emplace_back("AdvertisementManufacturerDataB", EventRecorder::Hex(data));
    };
    ASSERT_EQ(engine_->StartScanning(""), 0);
    ASSERT_TRUE(PumpUntilAdvertisement());
    ASSERT_EQ(engine_->StopScanning(), 0);

    const std::string hex = [] {
        std::string text = "No service data in advertisement for UUID 00001810-0000-1000-8000-00805F9B34FB.";
        return EventRecorder::Hex(text);
    }();
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"ManufacturerDataCount", "0:32"},
        {"ManufacturerCompanyId[1]", "0:37 36"},
        {"ManufacturerData(1)", "0:03"},
        {"ManufacturerData[2]", "202:" + EventRecorder::Hex("Index '{0}' is invalid for {1}.")},
        {"ServiceData[180A]", "0:11"},
        {"ServiceData[1810]", "202:" + hex},
        // 3E, length 50, subevent, one report, connectable undirected,
        // public, address, 38 bytes of AD structures, RSSI -60.
        {"AdvertisementRawData",
         "0:3E 32 02 01 00 00 7D B2 F0 38 C1 A4 26 "
         "02 01 06 02 0A F8 05 FF 59 00 01 02 04 FF 4C 00 03 03 03 E0 FF "
         "07 09 51 4E 2D 53 69 6D 04 16 0A 18 11 03 14 0F 18 C4"},
        {"AdvertisementManufacturerDataB", "01 02"},
    };
    EXPECT_EQ(answers, expected);

    int code = 0;
    EXPECT_EQ(Setting("ManufacturerDataCount", code),
              "The ManufacturerDataCount setting is only usable within the Advertisement event handler.");
    EXPECT_EQ(code, 602);
    EXPECT_EQ(Setting("ManufacturerData[0]", code),
              "The ManufacturerData setting is only usable within the Advertisement event handler.");
    std::string data = "stale";
    engine_->GetAdvertisementManufacturerDataB(data);
    EXPECT_EQ(data, "");
}

// A stack that gives only the parsed fields (no type, no raw sections)
// against one that gives everything: the control's defaults make both report
// alike where the fields hold the packet, and "connectable, not a scan
// response" where the type is not told.
TEST_F(Scanning, ReportsOfAFieldsOnlyStackMatchTheFullOnesWhereTheFieldsTellAll)
{
    sim::SimAdData response;
    response.localName = "QN-Sim Response";
    struct Heard {
        std::vector<std::string> events; // Advertisement events, then each one's raw data and ServiceData[180A]
    };
    auto hear = [&](bool fieldsOnly, bool active) {
        gauge_->Advertising().fieldsOnly = fieldsOnly;
        Heard heard;
        events_.onAdvertisement = [&](const std::string& event) {
            if (heard.events.size() >= 6)
                return;
            int code = 0;
            heard.events.push_back(event);
            heard.events.push_back(EventRecorder::Hex(Setting("AdvertisementRawData", code)));
            heard.events.push_back(Setting("ServiceData[180A]", code));
        };
        EXPECT_EQ(engine_->SetActiveScanning(active), 0);
        EXPECT_EQ(engine_->StartScanning(""), 0);
        EXPECT_TRUE(PumpUntil([&] { return heard.events.size() >= (active ? 6u : 3u); }));
        EXPECT_EQ(engine_->StopScanning(), 0);
        events_.onAdvertisement = {};
        heard.events.resize(active ? 6 : 3);
        return heard;
    };
    struct Case {
        const char* name;
        platform::AdvertisementType type;
        bool extraSections;
        bool active;
        // The fields-only report where it differs: {from, to} substitutions.
        std::vector<std::pair<std::string, std::string>> differences;
    };
    const std::vector<Case> cases = {
        {"connectable", platform::AdvertisementType::ConnectableUndirected, false, false, {}},
        {"non-connectable",
         platform::AdvertisementType::NonConnectableUndirected,
         false,
         false,
         {{",False,False)", ",True,False)"}, {"3E 2E 02 01 03", "3E 2E 02 01 00"}}},
        {"a section the fields do not hold",
         platform::AdvertisementType::ConnectableUndirected,
         true,
         false,
         {{"[0000180F-0000-1000-8000-00805F9B34FB]", "[]"},
          {"3E 32", "3E 2E"},
          {"A4 26", "A4 22"},
          {" 03 14 0F 18 C4", " C4"}}},
        {"scan response",
         platform::AdvertisementType::ConnectableUndirected,
         false,
         true,
         {{",False,True)", ",True,False)"}, {"3E 1D 02 01 04", "3E 1D 02 01 00"}}},
    };
    const std::vector<platform::DataSection> extras = gauge_->Advertising().data.extraSections;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gauge_->Advertising().type = c.type;
        gauge_->Advertising().scanResponse = c.active ? std::optional<sim::SimAdData>(response) : std::nullopt;
        gauge_->Advertising().data.extraSections = c.extraSections ? extras : std::vector<platform::DataSection>{};
        Heard expected = hear(false, c.active);
        for (std::string& line : expected.events)
            for (const auto& [from, to] : c.differences)
                if (const std::size_t at = line.find(from); at != std::string::npos)
                    line.replace(at, from.size(), to);
        EXPECT_EQ(hear(true, c.active).events, expected.events);
    }
}

}  // namespace
}  // namespace vornik::test
