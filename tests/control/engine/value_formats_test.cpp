// User descriptions and presentation formats of characteristics.
#include "sim_fixture.h"

namespace vornik::test {
namespace {

using sim::SimOp;
namespace prop = platform::prop;

constexpr std::uint16_t kWritableAuxiliaries = 0x0002; // extended properties bit
constexpr auto kNever = std::chrono::hours(1);

// Service 0xFFE0 at 1: temperature 0xFFE1 (3) with two presentation formats
// (4, 5) and a read-only user description (6); label 0xFFE2 (8) with
// writable auxiliaries (9) and a writable user description (10); bare 0xFFE3
// (12); aux-only 0xFFE4 (14) with writable auxiliaries (15) but no user
// description.
class ValueFormats : public EngineOnSim {
protected:
    ValueFormats()
    {
        const std::uint16_t service = gauge_->AddService(Uuid::FromShort(0xFFE0));
        const std::uint16_t temperature = gauge_->AddCharacteristic(service, Uuid::FromShort(0xFFE1), prop::kRead);
        gauge_->AddPresentationFormat(temperature, 0x0E, -2, 0x272F);
        gauge_->AddPresentationFormat(temperature, 0x04, 0, 0x2700);
        gauge_->AddUserDescription(temperature, "Temperature");
        const std::uint16_t label =
            gauge_->AddCharacteristic(service, Uuid::FromShort(0xFFE2), prop::kRead | prop::kExtendedProperties);
        gauge_->AddExtendedProperties(label, kWritableAuxiliaries);
        gauge_->AddUserDescription(label, "Probe", true);
        gauge_->AddCharacteristic(service, Uuid::FromShort(0xFFE3), prop::kRead);
        const std::uint16_t auxOnly =
            gauge_->AddCharacteristic(service, Uuid::FromShort(0xFFE4), prop::kRead | prop::kExtendedProperties);
        gauge_->AddExtendedProperties(auxOnly, kWritableAuxiliaries);
        Reconnect();
    }
    ~ValueFormats() override { engine_->SetHostPump({}); }

    // Connected with everything discovered but the descriptors.
    void Reconnect()
    {
        short characteristics = 0;
        engine_->GetCharacteristicCount(characteristics);
        if (characteristics == 0) { // a disconnect empties the model
            ConnectGauge();
            EXPECT_EQ(engine_->Discover("", "", false, ""), 0);
        }
        events_.Clear();
        gauge_->ResetCounters();
    }
};

TEST_F(ValueFormats, TheFirstUseEnsuresTheFormatDescriptorsOnce)
{
    short count = 0;
    ASSERT_EQ(engine_->GetCharacteristicValueFormatCount(0, count), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(gauge_->Count(SimOp::DiscoverDescriptors, 3), 2);  // 0x2905, then 0x2904
    ASSERT_EQ(engine_->GetCharacteristicValueFormatCount(0, count), 0);
    short index = -5;
    ASSERT_EQ(engine_->GetCharacteristicValueFormatIndex(0, index), 0);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(gauge_->Count(SimOp::DiscoverDescriptors, 3), 2);
    EXPECT_EQ(events_.CountPrefix("Discovered(2,000100000000,000100030000,"), 2);
}

TEST_F(ValueFormats, TheIndexSelectsWhichFormatIsShown)
{
    struct Row {
        short index;
        int format;
        short exponent;
        std::string unit;
    };
    for (const Row& row : {Row{0, 14, -2, "0000272F-0000-1000-8000-00805F9B34FB"},
                           Row{1, 4, 0, "00002700-0000-1000-8000-00805F9B34FB"}}) {
        ASSERT_EQ(engine_->SetCharacteristicValueFormatIndex(0, row.index), 0);
        int format = -1;
        short exponent = -1;
        std::string unit;
        ASSERT_EQ(engine_->GetCharacteristicValueFormat(0, format), 0);
        ASSERT_EQ(engine_->GetCharacteristicValueExponent(0, exponent), 0);
        ASSERT_EQ(engine_->GetCharacteristicValueUnit(0, unit), 0);
        EXPECT_EQ(format, row.format);
        EXPECT_EQ(exponent, row.exponent);
        EXPECT_EQ(unit, row.unit);
    }
}

TEST_F(ValueFormats, InvalidIndexesFail202)
{
    for (short bad : {short{2}, short{-1}, short{-2}}) {
        EXPECT_EQ(engine_->SetCharacteristicValueFormatIndex(0, bad), 202) << bad;
        EXPECT_EQ(engine_->LastError(), "Invalid value format index.");
    }
    // Without formats only -1 is valid.
    EXPECT_EQ(engine_->SetCharacteristicValueFormatIndex(2, -1), 0);
    EXPECT_EQ(engine_->SetCharacteristicValueFormatIndex(2, 0), 202);
}

TEST_F(ValueFormats, WithoutFormatsEverythingReadsAsNone)
{
    short count = -1, index = 0, exponent = -1;
    int format = -1;
    std::string unit = "stale";
    ASSERT_EQ(engine_->GetCharacteristicValueFormatCount(2, count), 0);
    ASSERT_EQ(engine_->GetCharacteristicValueFormatIndex(2, index), 0);
    ASSERT_EQ(engine_->GetCharacteristicValueFormat(2, format), 0);
    ASSERT_EQ(engine_->GetCharacteristicValueExponent(2, exponent), 0);
    ASSERT_EQ(engine_->GetCharacteristicValueUnit(2, unit), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(format, 0);
    EXPECT_EQ(exponent, 0);
    EXPECT_EQ(unit, "");
}

TEST_F(ValueFormats, UserDescriptionIsAskedOnceAndKept)
{
    std::string text;
    ASSERT_EQ(engine_->GetCharacteristicUserDescription(0, text), 0);
    EXPECT_EQ(text, "Temperature");
    ASSERT_EQ(engine_->GetCharacteristicUserDescription(0, text), 0);
    EXPECT_EQ(text, "Temperature");
    ASSERT_EQ(engine_->GetCharacteristicUserDescription(2, text), 0);
    EXPECT_EQ(text, "");
    EXPECT_EQ(gauge_->Count(SimOp::GetDetails), 2);
    EXPECT_EQ(gauge_->Count(SimOp::Any), 2);
}

// Every getter that needs the details, as code and what it gave.
struct DetailsGetter {
    const char* name;
    std::function<int(BleEngine&, std::string&)> get;
    std::string answer; // on success
    std::string empty;  // what a failure leaves
    int requests = 1;   // details requests of a successful call
};

const std::vector<DetailsGetter>& DetailsGetters()
{
    static const std::vector<DetailsGetter> getters = {
        {"UserDescription", [](BleEngine& e, std::string& out) { return e.GetCharacteristicUserDescription(0, out); },
         "Temperature", ""},
        {"ValueFormatCount",
         [](BleEngine& e, std::string& out) {
             short v = 9;
             const int code = e.GetCharacteristicValueFormatCount(0, v);
             out = std::to_string(v);
             return code;
         },
         "2", "0"},
        {"ValueFormatIndex",
         [](BleEngine& e, std::string& out) {
             short v = 9;
             const int code = e.GetCharacteristicValueFormatIndex(0, v);
             out = std::to_string(v);
             return code;
         },
         "0", "-1"},
        {"ValueFormat",
         [](BleEngine& e, std::string& out) {
             int v = 9;
             const int code = e.GetCharacteristicValueFormat(0, v);
             out = std::to_string(v);
             return code;
         },
         "14", "0"},
        {"ValueExponent",
         [](BleEngine& e, std::string& out) {
             short v = 9;
             const int code = e.GetCharacteristicValueExponent(0, v);
             out = std::to_string(v);
             return code;
         },
         "-2", "0"},
        {"ValueUnit", [](BleEngine& e, std::string& out) { return e.GetCharacteristicValueUnit(0, out); },
         "0000272F-0000-1000-8000-00805F9B34FB", ""},
        {"GattObjTreeInfo",
         [](BleEngine& e, std::string& out) {
             const int code = e.Config("GattObjTreeInfo", out);
             const std::size_t at = out.find("UserDescr=");
             out = code == 0 && at != std::string::npos ? out.substr(at, out.find(']', at) - at) : "";
             return code;
         },
         "UserDescr=\"Temperature\", VFCount=2", "", 4},
    };
    return getters;
}

// Each getter under each way its details request can fail: the control's
// error, nothing stale in the output, no details kept; then it works again.
// Interrupt and disconnect come from the host pump once the request is out.
TEST_F(ValueFormats, EveryDetailsGetterUnderEveryFaultFailsCleanlyThenWorks)
{
    using platform::GattStatus;
    struct Fault {
        const char* name;
        std::function<void(BleEngine&, sim::SimPeripheral&)> arm;
        int code;
    };
    const std::vector<Fault> faults = {
        {"ProtocolError",
         [](BleEngine&, sim::SimPeripheral& g) {
             g.InjectFault({SimOp::GetDetails, 3, GattStatus::ProtocolError, 0x0E, 1});
         },
         714},
        {"AccessDenied",
         [](BleEngine&, sim::SimPeripheral& g) {
             g.InjectFault({SimOp::GetDetails, 3, GattStatus::AccessDenied, 0, 1});
         },
         606},
        {"Unreachable",
         [](BleEngine&, sim::SimPeripheral& g) {
             g.InjectFault({SimOp::GetDetails, 3, GattStatus::Unreachable, 0, 1});
         },
         607},
        {"Timeout",
         [](BleEngine& e, sim::SimPeripheral& g) {
             e.SetTimeout(1);
             g.SetLatency(SimOp::GetDetails, kNever);
         },
         301},
        {"Interrupt",
         [](BleEngine& e, sim::SimPeripheral& g) {
             e.SetTimeout(0);
             g.SetLatency(SimOp::GetDetails, kNever);
             e.SetHostPump([&e, &g, armed = true]() mutable {
                 if (g.Count(SimOp::GetDetails) > 0 && std::exchange(armed, false))
                     e.Interrupt();
             });
         },
         301},
        {"Disconnect",
         [](BleEngine& e, sim::SimPeripheral& g) {
             e.SetTimeout(0);
             g.SetLatency(SimOp::GetDetails, kNever);
             e.SetHostPump([&e, &g, armed = true]() mutable {
                 if (g.Count(SimOp::GetDetails) > 0 && std::exchange(armed, false)) {
                     EXPECT_EQ(e.Disconnect(), 0);
                 }
             });
         },
         605},
    };
    for (const DetailsGetter& getter : DetailsGetters()) {
        for (const Fault& fault : faults) {
            SCOPED_TRACE(std::string(getter.name) + " under " + fault.name);
            engine_->Disconnect(); // nothing kept from the round before
            Reconnect();
            fault.arm(*engine_, *gauge_);
            std::string out = "stale";
            EXPECT_EQ(getter.get(*engine_, out), fault.code) << engine_->LastError();
            EXPECT_EQ(out, getter.empty);
            engine_->SetHostPump({});
            gauge_->SetLatency(SimOp::GetDetails, std::chrono::milliseconds(0));
            ASSERT_EQ(engine_->SetTimeout(60), 0);
            Reconnect();
            const int asked = gauge_->Count(SimOp::GetDetails);
            ASSERT_EQ(getter.get(*engine_, out), 0) << engine_->LastError();
            EXPECT_EQ(out, getter.answer);
            EXPECT_EQ(gauge_->Count(SimOp::GetDetails), asked + getter.requests);
        }
    }
}

// The kept details follow the server after anything that asks it anew.
TEST_F(ValueFormats, KeptDetailsAreAskedAnewAfterRediscoveryAndReconnects)
{
    struct Case {
        const char* name;
        std::function<void(BleEngine&)> refresh;
        bool asksAgain;
    };
    const std::vector<Case> cases = {
        {"nothing", [](BleEngine&) {}, false},
        {"descriptor rediscovery", [](BleEngine& e) { EXPECT_EQ(e.DiscoverDescriptors(Id(1), Id(1, 3)), 0); }, true},
        {"reconnect",
         [](BleEngine& e) {
             EXPECT_EQ(e.Disconnect(), 0);
             EXPECT_EQ(e.Connect(kGaugeId), 0);
             EXPECT_EQ(e.Discover("", "", false, ""), 0);
         },
         true},
    };
    const platform::Bytes secondFormat = gauge_->Value(5);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine_->Disconnect();
        gauge_->SetValue(6, {'T', 'e', 'm', 'p', 'e', 'r', 'a', 't', 'u', 'r', 'e'});
        gauge_->SetValue(5, secondFormat);
        Reconnect();
        std::string text;
        ASSERT_EQ(engine_->GetCharacteristicUserDescription(0, text), 0);
        ASSERT_EQ(engine_->SetCharacteristicValueFormatIndex(0, 1), 0);
        // The server renames and drops a format (too short to read).
        gauge_->SetValue(6, {'H', 'e', 'a', 't'});
        gauge_->SetValue(5, {0x04});
        c.refresh(*engine_);
        short count = 0, index = -5;
        ASSERT_EQ(engine_->GetCharacteristicUserDescription(0, text), 0);
        ASSERT_EQ(engine_->GetCharacteristicValueFormatCount(0, count), 0);
        ASSERT_EQ(engine_->GetCharacteristicValueFormatIndex(0, index), 0);
        EXPECT_EQ(text, c.asksAgain ? "Heat" : "Temperature");
        EXPECT_EQ(count, c.asksAgain ? 1 : 2);
        EXPECT_EQ(index, c.asksAgain ? 0 : 1) << "no selection past the formats";
        EXPECT_NE(Query("GattObjTreeInfo")
                      .find(c.asksAgain ? "UserDescr=\"Heat\", VFCount=1" : "UserDescr=\"Temperature\", VFCount=2"),
                  std::string::npos);
    }
}

TEST_F(ValueFormats, UserDescriptionWriteNeedsWritableAuxiliaries)
{
    EXPECT_EQ(engine_->SetCharacteristicUserDescription(0, "x"), 602);
    EXPECT_EQ(engine_->LastError(), "A characteristic's user description cannot be changed unless it has the "
                                    "'Writable Auxiliaries' flag set.");
    EXPECT_EQ(gauge_->Count(SimOp::WriteDescriptor), 0);
}

TEST_F(ValueFormats, UserDescriptionWriteWithoutTheDescriptorFails611)
{
    EXPECT_EQ(engine_->SetCharacteristicUserDescription(3, "x"), 611);
    EXPECT_EQ(engine_->LastError(), "Characteristic with ID \"0001000E0000\" does not have a Characteristic User "
                                    "Description descriptor despite having the 'Writable Auxiliaries' flag set.");
    EXPECT_EQ(gauge_->Count(SimOp::WriteDescriptor), 0);
}

TEST_F(ValueFormats, UserDescriptionWriteWritesTheDescriptor)
{
    Config("LogLevel=3");
    ASSERT_EQ(engine_->SetCharacteristicUserDescription(1, "Probe 2"), 0) << engine_->LastError();
    EXPECT_EQ(gauge_->Value(10), platform::Bytes({'P', 'r', 'o', 'b', 'e', ' ', '2'}));
    std::string text;
    ASSERT_EQ(engine_->GetCharacteristicUserDescription(1, text), 0);
    EXPECT_EQ(text, "Probe 2");
    // A write drops the kept text: the next answer is the server's.
    ASSERT_EQ(engine_->SetCharacteristicUserDescription(1, "Probe 3"), 0) << engine_->LastError();
    ASSERT_EQ(engine_->GetCharacteristicUserDescription(1, text), 0);
    EXPECT_EQ(text, "Probe 3");
    EXPECT_TRUE(events_.HasLog("3|Debug|Writing new value to User Description descriptor."));
    EXPECT_TRUE(events_.HasLog("3|Debug|Successfully wrote new value to Characteristic User Description descriptor "
                               "for characteristic ID \"000100080000\"."));
    EXPECT_EQ(events_.CountPrefix("WriteResponse("), 0);
}

TEST_F(ValueFormats, AFailedUserDescriptionWriteIsLoggedAndReported)
{
    Config("LogLevel=3");
    gauge_->InjectFault({SimOp::WriteDescriptor, 10, platform::GattStatus::ProtocolError, 0x03, 1});
    EXPECT_EQ(engine_->SetCharacteristicUserDescription(1, "Probe 2"), 703);
    EXPECT_TRUE(events_.HasLog("1|Debug|BLE Result Status: ProtocolError (Protocol Code: 3)."));
    EXPECT_TRUE(events_.HasLog("3|Debug|Failed to write new value to Characteristic User Description descriptor for "
                               "characteristic ID \"000100080000\"."));
    EXPECT_EQ(gauge_->Value(10), platform::Bytes({'P', 'r', 'o', 'b', 'e'}));
}

}  // namespace
}  // namespace vornik::test
