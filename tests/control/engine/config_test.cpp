#include "config_request.h"

#include <gtest/gtest.h>

#include "engine_test_support.h"

namespace vornik {
namespace {

struct RequestCase {
    const char* text;
    const char* name;
    const char* indexText;
    int index;
    bool query;
    const char* value;
};

void PrintTo(const RequestCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class ConfigParsing : public ::testing::TestWithParam<RequestCase> {};

TEST_P(ConfigParsing, SplitsNameIndexAndValue)
{
    const RequestCase& c = GetParam();
    ConfigRequest request = ParseConfigRequest(c.text);
    EXPECT_EQ(request.name, c.name) << c.text;
    EXPECT_EQ(request.indexText, c.indexText) << c.text;
    EXPECT_EQ(request.index, c.index) << c.text;
    EXPECT_EQ(request.query, c.query) << c.text;
    EXPECT_EQ(request.value, c.value) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConfigParsing,
    ::testing::Values(RequestCase{"LogLevel", "LogLevel", "", -1, true, ""},
                      RequestCase{"LogLevel=3", "LogLevel", "", -1, false, "3"},
                      RequestCase{"AutoDiscoverCharacteristics = true", "AutoDiscoverCharacteristics", "", -1, false,
                                  "true"},
                      RequestCase{"  LogLevel  =  2  ", "LogLevel", "", -1, false, "2"},
                      RequestCase{"ManufacturerData[1]", "ManufacturerData", "1", 1, true, ""},
                      RequestCase{"ManufacturerData( 2 )", "ManufacturerData", "2", 2, true, ""},
                      RequestCase{"ManufacturerData[x]", "ManufacturerData", "x", -1, true, ""},
                      RequestCase{"ServiceData[180A]", "ServiceData", "180A", -1, true, ""},
                      RequestCase{"LogDebugFile=", "LogDebugFile", "", -1, false, ""},
                      RequestCase{"LogDebugFile = \"/tmp/a b.log\"  ", "LogDebugFile", "", -1, false, "/tmp/a b.log"},
                      RequestCase{"LogDebugFile=\"unclosed ", "LogDebugFile", "", -1, false, "unclosed"},
                      RequestCase{"LogDebugFile=a=b", "LogDebugFile", "", -1, false, "a=b"}));

struct ValueCase {
    const char* text;
    bool boolean;
    int integer;
};

void PrintTo(const ValueCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class ConfigValues : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ConfigValues, BooleanAndIntegerSyntax)
{
    const ValueCase& c = GetParam();
    EXPECT_EQ(ParseBoolSetting(c.text), c.boolean) << c.text;
    EXPECT_EQ(ParseIntSetting(c.text), c.integer) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Table, ConfigValues,
                         ::testing::Values(ValueCase{"TRUE", true, 1}, ValueCase{"true", true, 1},
                                           ValueCase{"Yes", true, 1}, ValueCase{"1", true, 1},
                                           ValueCase{"on", false, 0}, ValueCase{"FALSE", false, 0},
                                           ValueCase{"no", false, 0}, ValueCase{"", false, 0},
                                           ValueCase{"0x1F", false, 31}, ValueCase{"0X10", false, 16},
                                           ValueCase{"42", false, 42}, ValueCase{"-5", false, -5},
                                           ValueCase{"12abc", false, 12}, ValueCase{"abc", false, 0},
                                           ValueCase{"99999999999", false, 2147483647}));

class EngineConfig : public EngineFixture {};

TEST_F(EngineConfig, Defaults)
{
    struct Default {
        const char* name;
        const char* value;
    };
    for (const Default& d : {Default{"LogLevel", "1"}, Default{"AutoDiscoverCharacteristics", "False"},
                             Default{"AutoDiscoverDescriptors", "False"},
                             Default{"AutoDiscoverIncludedServices", "False"}, Default{"IncludeRediscovered", "True"},
                             Default{"PreferIndications", "False"}, Default{"ScanStartedTimeout", "2"},
                             Default{"QueryAdditionalDeviceInfo", "False"}, Default{"CodePage", "0"},
                             Default{"SelectWaitMillis", "20"}, Default{"UseWindowsMessages", "True"},
                             Default{"LastError", ""}, Default{"LogDebugFile", ""}, Default{"ZeroMemory", "False"},
                             Default{"BTMTU", "0"}, Default{"SSLProvider", ""}, Default{"loglevel", "1"}})
        EXPECT_EQ(Query(d.name), d.value) << d.name;
}

TEST_F(EngineConfig, SetsAreStoredAndReportedInTheirTypes)
{
    struct Set {
        const char* request;
        const char* query;
        const char* reported;
    };
    for (const Set& s : {Set{"LogLevel=3", "LogLevel", "3"},
                         Set{"AutoDiscoverDescriptors=yes", "AutoDiscoverDescriptors", "True"},
                         Set{"AutoDiscoverDescriptors=on", "AutoDiscoverDescriptors", "False"},
                         Set{"AutoDiscoverCharacteristics = true", "AutoDiscoverCharacteristics", "True"},
                         Set{"IncludeRediscovered=0", "IncludeRediscovered", "False"},
                         Set{"ScanStartedTimeout=0x0A", "ScanStartedTimeout", "10"},
                         Set{"SelectWaitMillis = yes", "SelectWaitMillis", "1"},
                         Set{"CodePage=65001", "CodePage", "65001"},
                         Set{"UseWindowsMessages=False", "UseWindowsMessages", "False"},
                         Set{"logdebugfile = \"/tmp/x y.log\"", "LogDebugFile", "/tmp/x y.log"},
                         Set{"ZeroMemory=YES", "ZeroMemory", "True"}, Set{"BTMTU=0x200", "BTMTU", "512"}}) {
        std::string reply = "stale";
        EXPECT_EQ(engine_->Config(s.request, reply), 0) << s.request;
        EXPECT_EQ(reply, "") << s.request;
        EXPECT_EQ(Query(s.query), s.reported) << s.request;
    }
}

TEST_F(EngineConfig, UnknownAndReadOnlyNamesFail)
{
    for (const char* request : {"Bogus", "Bogus=1", "GattObjTreeInfo=1", "LastError=x", "ManufacturerDataCount=1",
                                "ManufacturerData[0]=1", "AdvertisementRawData=", "", "=3"}) {
        EXPECT_EQ(ConfigCode(request), -1) << request;
        EXPECT_EQ(engine_->LastError(), "Unknown config setting.") << request;
    }
}

TEST_F(EngineConfig, AdvertisementSettingsOnlyInsideTheHandler)
{
    struct Case {
        const char* request;
        const char* name;
    };
    for (const Case& c : {Case{"ManufacturerData[0]", "ManufacturerData"}, Case{"ManufacturerData (1)", "ManufacturerData"},
                          Case{"ManufacturerDataCount", "ManufacturerDataCount"},
                          Case{"ManufacturerCompanyId[0]", "ManufacturerCompanyId"},
                          Case{"ServiceData[180A]", "ServiceData"}, Case{"AdvertisementRawData", "AdvertisementRawData"}}) {
        EXPECT_EQ(ConfigCode(c.request), 602) << c.request;
        EXPECT_EQ(engine_->LastError(),
                  std::string("The ") + c.name + " setting is only usable within the Advertisement event handler.");
    }
}

TEST_F(EngineConfig, UseWindowsMessagesIsLockedWhileConnecting)
{
    BleEngineTestPeer::SetConnectInProgress(*engine_, true);
    EXPECT_EQ(ConfigCode("UseWindowsMessages=False"), 287);
    EXPECT_EQ(engine_->LastError(), "UseWindowsMessages cannot be changed at this time. A connection is in progress.");
    EXPECT_EQ(Query("UseWindowsMessages"), "True");
    BleEngineTestPeer::SetConnectInProgress(*engine_, false);
    EXPECT_EQ(ConfigCode("UseWindowsMessages=False"), 0);
}

TEST_F(EngineConfig, LastErrorReportsTheLastFailure)
{
    ConfigCode("Bogus");
    EXPECT_EQ(Query("LastError"), "Unknown config setting.");
}

TEST_F(EngineConfig, LogLevelDecidesWhichMessagesAreRaised)
{
    auto logAll = [&] {
        BleEngineTestPeer::Log(*engine_, LogLevel::Basic, LogType::Connection, "one");
        BleEngineTestPeer::Log(*engine_, LogLevel::Detailed, LogType::Discovery, "two");
        BleEngineTestPeer::Log(*engine_, LogLevel::Debug, LogType::Debug, "three");
    };
    logAll();
    EXPECT_EQ(sink_.events, std::vector<std::string>{"Log(1,Connection,one)"});
    sink_.events.clear();
    Query("LogLevel=3");
    logAll();
    EXPECT_EQ(sink_.events, (std::vector<std::string>{"Log(1,Connection,one)", "Log(2,Discovery,two)",
                                                      "Log(3,Debug,three)"}));
    sink_.events.clear();
    Query("LogLevel=0");
    logAll();
    EXPECT_TRUE(sink_.events.empty());
}

TEST_F(EngineConfig, LogTypeWords)
{
    Query("LogLevel=3");
    for (LogType type : {LogType::Connection, LogType::Discovery, LogType::Read, LogType::Write,
                         LogType::Subscriptions, LogType::Scanning, LogType::Debug, LogType::Verbose})
        BleEngineTestPeer::Log(*engine_, LogLevel::Basic, type, "m");
    EXPECT_EQ(sink_.events,
              (std::vector<std::string>{"Log(1,Connection,m)", "Log(1,Discovery,m)", "Log(1,Read,m)", "Log(1,Write,m)",
                                        "Log(1,Subscriptions,m)", "Log(1,Scanning,m)", "Log(1,Debug,m)",
                                        "Log(1,Verbose,m)"}));
}

TEST_F(EngineConfig, ResultCheckLogsAndMapsTheStatus)
{
    struct Case {
        platform::GattStatus status;
        int att;
        int code;
        const char* log;
    };
    for (const Case& c :
         {Case{platform::GattStatus::Success, 0, 0, "Log(1,Read,BLE Result Status: Success (Protocol Code: 0).)"},
          Case{platform::GattStatus::Unreachable, 0, 607, "Log(1,Read,BLE Result Status: Unreachable (Protocol Code: 0).)"},
          Case{platform::GattStatus::AccessDenied, 0, 606,
               "Log(1,Read,BLE Result Status: AccessDenied (Protocol Code: 0).)"},
          Case{platform::GattStatus::ProtocolError, 3, 703,
               "Log(1,Read,BLE Result Status: ProtocolError (Protocol Code: 3).)"}}) {
        sink_.events.clear();
        platform::GattResult result;
        result.status = c.status;
        if (c.att != 0)
            result.protocolError = static_cast<std::uint8_t>(c.att);
        Status status = BleEngineTestPeer::CheckResult(*engine_, result, LogType::Read);
        EXPECT_EQ(status.code, c.code);
        EXPECT_EQ(sink_.events, std::vector<std::string>{c.log});
    }
    platform::GattResult unreachable;
    unreachable.status = platform::GattStatus::Unreachable;
    EXPECT_EQ(BleEngineTestPeer::CheckResult(*engine_, unreachable, LogType::Read).text,
              "Error attempting communication: Device unreachable.");
}

TEST_F(EngineConfig, TimeoutProperty)
{
    short value = 0;
    engine_->GetTimeout(value);
    EXPECT_EQ(value, 60);
    for (auto [set, stored] : {std::pair<short, short>{5, 5}, {0, 0}, {-3, 0}, {32767, 32767}}) {
        EXPECT_EQ(engine_->SetTimeout(set), 0);
        engine_->GetTimeout(value);
        EXPECT_EQ(value, stored) << set;
    }
}

}  // namespace
}  // namespace vornik
