// The simulated gauges through the control's C interface: advertisement,
// GATT layout, every command with its exact reply, memories of both
// classes read back byte for byte, and live readings.
#include "gauge_session.h"

#include "demo_gauges.h"
#include "gauge_records.h"
#include "gauge_state.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace quen::gaugesim::test {
namespace {

const GaugeSetup& Gauge(const std::string& model)
{
    static const std::vector<GaugeSetup> gauges = BuiltInGauges();
    for (const GaugeSetup& gauge : gauges)
        if (gauge.model == model)
            return gauge;
    throw std::logic_error("no model " + model);
}

std::vector<GaugeSetup> GaugesOfClass(GaugeClass gaugeClass)
{
    std::vector<GaugeSetup> out;
    for (const GaugeSetup& gauge : BuiltInGauges())
        if (gauge.gaugeClass == gaugeClass)
            out.push_back(gauge);
    return out;
}

// The program's identification loop: key letter, ":", value, one
// separator; the last value ends at "!".
std::map<char, std::string> IdentificationKeys(const std::string& reply, std::size_t prefixLength)
{
    std::map<char, std::string> keys;
    std::string rest = reply.substr(prefixLength);
    for (int guard = 0; guard < 100; ++guard) {
        const std::size_t c = rest.find(':');
        if (rest.empty() || c == std::string::npos || c == 0)
            break;
        std::size_t d = rest.find(':', c + 1);
        std::size_t valueLength;
        std::size_t next;
        if (d == std::string::npos) {
            const std::size_t bang = rest.find('!');
            valueLength = (bang == std::string::npos ? rest.size() : bang) - c - 1;
            next = bang == std::string::npos ? rest.size() : bang + 1;
        } else {
            valueLength = d - c - 3;  // value, separator, next key letter
            next = d - 1;
        }
        keys[rest[c - 1]] = rest.substr(c + 1, valueLength);
        rest = rest.substr(next);
    }
    return keys;
}

class GaugeLink : public ::testing::Test {
protected:
    void Open(const GaugeSetup& gauge)
    {
        session = std::make_unique<GaugeSession>();
        ASSERT_TRUE(session->Created()) << session->CreateError();
        ASSERT_TRUE(session->Connect(AddressText(gauge.address)));
        ASSERT_EQ(session->Configure("reply_delay = 0"), QUEN_GAUGESIM_OK);
        session->events.clear();
    }

    // The program's file read: blocks of 32 bytes, then the rest.
    std::string ReadFile(const std::string& name, int& handle)
    {
        const std::string open = session->Command("$fr?" + name + "!");
        int size = 0;
        if (std::sscanf(open.c_str(), "$fr?%d %d!", &handle, &size) != 2)
            return "!" + open;
        std::string hex;
        for (int remaining = size; remaining > 0;) {
            const int count = std::min(remaining, 32);
            const std::string reply =
                session->Command("$rd?" + std::to_string(handle) + " " + std::to_string(count) + "!");
            char expected[48];
            std::snprintf(expected, sizeof expected, "$rd?%d 0 %02d ", handle, count);
            if (reply.rfind(expected, 0) != 0 || reply.size() != std::strlen(expected) + 2 * count + 1)
                return "!" + reply;
            hex += reply.substr(std::strlen(expected), 2 * static_cast<std::size_t>(count));
            remaining -= count;
        }
        return hex;
    }

    std::unique_ptr<GaugeSession> session;
};

TEST_F(GaugeLink, EveryGaugeAdvertisesOnceWithItsNameAndAddress)
{
    GaugeSession scan;
    ASSERT_TRUE(scan.Created()) << scan.CreateError();
    ASSERT_EQ(scan.control().put(VORNIK_DISPID_ActiveScanning, {boolean(true)}), VORNIK_S_OK);
    ASSERT_EQ(scan.control().call(VORNIK_DISPID_StartScanning, {str("")}), VORNIK_S_OK) << lastError().description;
    const std::vector<GaugeSetup> gauges = BuiltInGauges();
    std::map<std::string, std::string> seen;
    auto collect = [&] {
        for (const Event& e : scan.EventsOf(VORNIK_EVENT_Advertisement))
            seen[e.texts[0]] = e.texts[1];
        return seen.size() >= gauges.size();
    };
    ASSERT_TRUE(scan.PumpUntil(collect));
    scan.control().call(VORNIK_DISPID_StopScanning, {});
    ASSERT_EQ(seen.size(), gauges.size());
    for (const GaugeSetup& gauge : gauges)
        EXPECT_EQ(seen[AddressText(gauge.address)], gauge.name) << gauge.model;
}

TEST_F(GaugeLink, GattLayoutOfEveryGauge)
{
    for (const GaugeSetup& gauge : BuiltInGauges()) {
        SCOPED_TRACE(gauge.model);
        Open(gauge);
        const bool alternative = gauge.service == MainService::Alternative;
        EXPECT_EQ(session->Has(gatt::kMainService), !alternative);
        EXPECT_EQ(session->Has(gatt::kAlternativeService), alternative);
        EXPECT_TRUE(session->Has(gatt::kCommand));
        EXPECT_TRUE(session->Has(gatt::kTrace));
        EXPECT_TRUE(session->Has(gatt::kMemoryService));
        EXPECT_EQ(session->Has(gatt::kDirectory), !alternative);
        EXPECT_EQ(session->Has(gatt::kData), !alternative);
        EXPECT_TRUE(session->Has(gatt::kLive));
        EXPECT_EQ(session->ServiceOf(gatt::kCommand),
                  session->ServiceOf(alternative ? gatt::kAlternativeService : gatt::kMainService));
        EXPECT_EQ(session->ServiceOf(gatt::kLive), session->ServiceOf(gatt::kMemoryService));
    }
}

// The program's discovery: all services for names with "Zinto", "GV-4" or
// "VORTAN", else the memory and main services only; then its readiness
// rules for the command path and the memory path.
TEST_F(GaugeLink, ProgramDiscoveryMakesBothPathsReady)
{
    for (const GaugeSetup& gauge : BuiltInGauges()) {
        SCOPED_TRACE(gauge.model);
        GaugeSession link;
        ASSERT_TRUE(link.Created()) << link.CreateError();
        const std::string address = AddressText(gauge.address);
        ASSERT_EQ(link.control().call(VORNIK_DISPID_Connect, {str(address)}), VORNIK_S_OK);
        const std::string deviceName = ("MAC: " + address + " Name: " + gauge.name + "       RSSI: -60").substr(24, 14);
        const bool all = deviceName.find("Zinto") != std::string::npos ||
                         deviceName.find("GV-4") != std::string::npos ||
                         deviceName.find("VORTAN") != std::string::npos;
        const std::string services = all ? "" : std::string(gatt::kMemoryService) + "," + gatt::kMainService;
        ASSERT_EQ(link.control().call(VORNIK_DISPID_Discover, {str(services), str(""), boolean(true), str("")}),
                  VORNIK_S_OK)
            << lastError().description;
        std::map<std::string, std::string> ids;  // link-state variable -> Id
        for (const Event& e : link.EventsOf(VORNIK_EVENT_Discovered)) {
            const std::string& uuid = e.texts[4];
            if (e.texts[0] == "0") {
                if (uuid == gatt::kMainService)
                    ids["SvcMainId"] = e.texts[1];
                if (uuid == gatt::kAlternativeService)
                    ids["SvcAltId"] = ids["SvcMainId"] = e.texts[1];
                if (uuid == gatt::kMemoryService)
                    ids["SvcMemoryId"] = e.texts[1];
            } else if (e.texts[0] == "1") {
                const std::pair<const char*, const char*> roles[] = {{gatt::kCommand, "ChrCommandId"},
                                                                     {gatt::kDirectory, "ChrMemDirId"},
                                                                     {gatt::kData, "ChrMemDataId"},
                                                                     {gatt::kLive, "ChrLiveId"}};
                for (const auto& [role, variable] : roles)
                    if (uuid == role)
                        ids[variable] = e.texts[2];
            }
        }
        const bool commandPath = !ids["SvcMainId"].empty() && !ids["ChrCommandId"].empty();
        const bool memoryCharacteristics = !ids["ChrMemDirId"].empty() && !ids["ChrMemDataId"].empty();
        const bool memoryPath = !ids["SvcMemoryId"].empty() && !ids["ChrLiveId"].empty() &&
                                (!ids["SvcAltId"].empty() || memoryCharacteristics);
        EXPECT_TRUE(commandPath);
        EXPECT_TRUE(memoryPath);
    }
}

TEST_F(GaugeLink, CommandShowsTheEchoUntilTheReplyIsDue)
{
    Open(Gauge("QV"));
    ASSERT_EQ(session->Configure("reply_delay = 60000"), QUEN_GAUGESIM_OK);
    EXPECT_EQ(session->Command("$gcv!", 2), "$gcv!");
    ASSERT_EQ(session->Configure("reply_delay = 0"), QUEN_GAUGESIM_OK);
    EXPECT_EQ(session->Read(gatt::kCommand), "$gcv?4.02!");
    EXPECT_EQ(session->Read(gatt::kCommand), "$gcv?4.02!");  // the reply stays

    ASSERT_EQ(session->Configure("echo = stripped"), QUEN_GAUGESIM_OK);
    ASSERT_EQ(session->Configure("reply_delay = 60000"), QUEN_GAUGESIM_OK);
    EXPECT_EQ(session->Command("$gcv!"), "gcv!");
}

struct CommandCase {
    const char* model;
    const char* command;
    const char* reply;
};

TEST_F(GaugeLink, EveryCommandGetsItsExactReply)
{
    const CommandCase cases[] = {
        {"QV", "$quen00!", "$quen00?S:5101 R:3.02 M:E8C04D000501 T:1 V: B: H:4.0 U:ym N:QV500 A:1!"},
        {"QV", "$gpi!", "$gpi?T:F5 R:1.07 S:240117 U:ym N:F5 A:0!"},
        {"QV", "$gcv!", "$gcv?4.02!"},
        {"QV", "$slt?2031-02-03/04:05:06!\r\n", "$slt?0!"},
        {"QV", "$slt?2031-02-30/04:05:06!\r\n", "$slt?1!"},
        {"QV", "$ls!", "$ls?0007 files m0001 m0002 s0003 t0004 m0005 m0006 se0001!"},
        {"QV", "$fr?m0005!", "$fr?1 160!"},
        {"QV", "$fr?nothing!", "$fr?0 0!"},
        {"QV", "$rd?9 32!", "$rd?9 1 00!"},
        {"QV", "$fc?9!", "$fc?9 1!"},
        {"QV", "$xyz?1!", "$err?xyz!"},
        {"QV", "$gcv", "$err?gcv!"},
        {"QV", "gcv!", "$err?!"},
        {"QV", "$rd?1 x!", "$err?rd!"},
        {"PEL", "$quen00!", "$quen00?S:4711 R:2.14 M:E8C04D000404 T:3 V:1 B:0.98 H:3.1 U:ym N:PELLAX A:0!"},
        {"PEL", "$gcv!", "$gcv?1.45!"},
        {"PEL", "$gpi!", "$err?gpi!"},
        {"PEL", "$ls!", "$err?ls!"},
        {"PEL", "$fr?m0001!", "$err?fr!"},
    };
    std::string model;
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.command);
        if (model != c.model) {
            model = c.model;
            Open(Gauge(model));
        }
        EXPECT_EQ(session->Command(c.command), c.reply);
    }
}

TEST_F(GaugeLink, ClockIsSetAndReadBack)
{
    Open(Gauge("VORTAN"));
    const std::string before = session->Command("$glt!");
    GaugeTime time;
    ASSERT_EQ(before.rfind("$glt?", 0), 0u) << before;
    EXPECT_TRUE(ParseClockText(before.substr(5, before.size() - 6), time)) << before;
    ASSERT_EQ(session->Command("$slt?2031-02-03/04:05:06!\r\n"), "$slt?0!");
    const std::string after = session->Command("$glt!");
    // The clock runs on: only the seconds may have moved.
    EXPECT_EQ(after.substr(0, 22), "$glt?2031-02-03/04:05:") << after;
    EXPECT_EQ(after.size(), 25u);
}

TEST_F(GaugeLink, IdentificationRepliesParseIntoTheKeys)
{
    for (const GaugeSetup& gauge : BuiltInGauges()) {
        SCOPED_TRACE(gauge.model);
        Open(gauge);
        const auto keys = IdentificationKeys(session->Command("$quen00!"), 7);
        std::string letters;
        for (const auto& [key, value] : keys)
            letters += key;
        EXPECT_EQ(letters, "ABHMNRSTUV");
        EXPECT_EQ(keys.at('M'), AddressText(gauge.address));
        EXPECT_FALSE(keys.at('S').empty());
        if (gauge.gaugeClass == GaugeClass::MemoryFiles) {
            const auto probe = IdentificationKeys(session->Command("$gpi!"), 4);
            EXPECT_EQ(probe.size(), 6u);
            EXPECT_EQ(probe.at('U'), keys.at('U'));
        }
    }
}

TEST_F(GaugeLink, FileBlocksReassembleToTheExactFileBytes)
{
    for (const GaugeSetup& gauge : GaugesOfClass(GaugeClass::MemoryFiles)) {
        Open(gauge);
        for (const MemoryFile& file : gauge.files) {
            SCOPED_TRACE(gauge.model + " " + file.name);
            int handle = 0;
            EXPECT_EQ(ReadFile(file.name, handle), HexText(file.bytes));
            // At the end of the file a read returns no bytes.
            EXPECT_EQ(session->Command("$rd?" + std::to_string(handle) + " 32!"),
                      "$rd?" + std::to_string(handle) + " 0 00 !");
            EXPECT_EQ(session->Command("$fc?" + std::to_string(handle) + "!"),
                      "$fc?" + std::to_string(handle) + " 0!");
        }
    }
}

TEST_F(GaugeLink, ReadCountsAreCappedAtTheBlockSize)
{
    Open(Gauge("Zinto"));
    ASSERT_EQ(session->Command("$fr?m0001!").rfind("$fr?1 ", 0), 0u);
    const std::string reply = session->Command("$rd?1 99!");
    EXPECT_EQ(reply.substr(0, 11), "$rd?1 0 32 ");
    EXPECT_EQ(reply.size(), 11u + 64 + 1);
    EXPECT_EQ(session->Command("$rd?1 0!"), "$rd?1 0 00 !");
}

TEST_F(GaugeLink, DirectoryListsEveryMemoryWithItsCount)
{
    const GaugeSetup& gauge = Gauge("PEL");
    Open(gauge);
    EXPECT_EQ(session->Read(gatt::kDirectory), "4\n1,250\n2,0\n3,5000\n4,12");
}

TEST_F(GaugeLink, MemoryOfTwelveReadingsIsThreeReadsAndTheEmptyOne)
{
    const GaugeSetup& gauge = Gauge("BODUN");
    Open(gauge);
    ASSERT_EQ(session->Write(gatt::kDirectory, "4"), "");
    const std::vector<std::string>& records = gauge.memories[3].records;
    auto join = [&](std::size_t from, std::size_t count) {
        std::string text;
        for (std::size_t i = from; i < from + count; ++i)
            text += (i > from ? "\n" : "") + records[i];
        return text;
    };
    EXPECT_EQ(session->Read(gatt::kData), join(0, 5));
    EXPECT_EQ(session->Read(gatt::kData), join(5, 5));
    EXPECT_EQ(session->Read(gatt::kData), join(10, 2));
    EXPECT_EQ(session->Read(gatt::kData), "");
    EXPECT_EQ(session->Read(gatt::kData), "");
    // Selecting again starts over; "-" releases the selection.
    ASSERT_EQ(session->Write(gatt::kDirectory, "4"), "");
    EXPECT_EQ(session->Read(gatt::kData), join(0, 5));
    ASSERT_EQ(session->Write(gatt::kDirectory, "-"), "");
    EXPECT_EQ(session->Read(gatt::kData), "");
}

TEST_F(GaugeLink, EveryClassFourMemoryComesBackRecordForRecord)
{
    for (const GaugeSetup& gauge : {Gauge("GV-8"), Gauge("Thickness")}) {
        Open(gauge);
        for (const RecordMemory& memory : gauge.memories) {
            SCOPED_TRACE(gauge.model + " memory " + memory.name);
            ASSERT_EQ(session->Write(gatt::kDirectory, memory.name), "");
            std::vector<std::string> got;
            int reads = 0;
            for (std::string value; !(value = session->Read(gatt::kData)).empty() && reads <= 1001; ++reads) {
                std::size_t start = 0;
                for (std::size_t lf; (lf = value.find('\n', start)) != std::string::npos; start = lf + 1)
                    got.push_back(value.substr(start, lf - start));
                got.push_back(value.substr(start));
            }
            EXPECT_EQ(reads, static_cast<int>((memory.records.size() + 4) / 5));
            EXPECT_EQ(got, memory.records);
        }
    }
}

TEST_F(GaugeLink, UnknownMemorySelectsNothing)
{
    Open(Gauge("ZIN"));
    ASSERT_EQ(session->Write(gatt::kDirectory, "9"), "");
    EXPECT_EQ(session->Read(gatt::kData), "");
    ASSERT_EQ(session->Write(gatt::kDirectory, "04"), "");  // the number, as the program may write it
    EXPECT_NE(session->Read(gatt::kData), "");
}

TEST_F(GaugeLink, LiveReadingsArriveWhileSubscribedAndStopAfterwards)
{
    for (const GaugeSetup& gauge : BuiltInGauges()) {
        SCOPED_TRACE(gauge.model);
        Open(gauge);
        const std::string memory = session->ServiceOf(gatt::kMemoryService);
        const std::string live = session->CharacteristicOf(gatt::kLive);
        EXPECT_EQ(session->TakeReading(), QUEN_GAUGESIM_NOT_HEARD);
        ASSERT_EQ(session->control().call(VORNIK_DISPID_Subscribe, {str(memory), str(live)}), VORNIK_S_OK)
            << lastError().description;
        ASSERT_EQ(session->TakeReading(), QUEN_GAUGESIM_OK);
        ASSERT_EQ(session->TakeReading(), QUEN_GAUGESIM_OK);
        ASSERT_TRUE(session->PumpUntil([&] { return session->EventsOf(VORNIK_EVENT_Value).size() >= 2; }));
        const auto values = session->EventsOf(VORNIK_EVENT_Value);
        ASSERT_EQ(values.size(), 2u);
        const std::string& value = values[1].texts[5];
        EXPECT_EQ(values[1].texts[1], live);
        const std::size_t record = kRecordLength + 2;
        ASSERT_EQ(value.size(), gauge.reading.dualProbe ? 2 * record : record) << value;
        EXPECT_EQ(value.substr(0, 4), "   3");  // the reading nobody heard was taken all the same
        EXPECT_EQ(value.substr(17, 4), (gauge.reading.unit + "    ").substr(0, 4));
        EXPECT_EQ(value.find("DNF") != std::string::npos, gauge.reading.dualProbe);

        ASSERT_EQ(session->control().call(VORNIK_DISPID_Unsubscribe, {str(memory), str(live)}), VORNIK_S_OK);
        EXPECT_EQ(session->TakeReading(), QUEN_GAUGESIM_NOT_HEARD);
        session->PumpFor(5);
        EXPECT_EQ(session->EventsOf(VORNIK_EVENT_Value).size(), 2u);
    }
}

TEST_F(GaugeLink, LiveReadingsOnATimer)
{
    Open(Gauge("PEL"));
    ASSERT_EQ(session->Configure("live_interval = 10"), QUEN_GAUGESIM_OK);
    const std::string memory = session->ServiceOf(gatt::kMemoryService);
    const std::string live = session->CharacteristicOf(gatt::kLive);
    ASSERT_EQ(session->control().call(VORNIK_DISPID_Subscribe, {str(memory), str(live)}), VORNIK_S_OK);
    ASSERT_TRUE(session->PumpUntil([&] { return session->EventsOf(VORNIK_EVENT_Value).size() >= 3; }));
    ASSERT_EQ(session->control().call(VORNIK_DISPID_Unsubscribe, {str(memory), str(live)}), VORNIK_S_OK);
    const std::size_t heard = session->EventsOf(VORNIK_EVENT_Value).size();
    session->PumpFor(5);
    EXPECT_EQ(session->EventsOf(VORNIK_EVENT_Value).size(), heard);
}

TEST_F(GaugeLink, HooksRefuseUnknownGaugesFixedKeysAndBadValues)
{
    Open(Gauge("QV"));
    EXPECT_EQ(session->hooks.configure("000000000000", "reply_delay = 0"), QUEN_GAUGESIM_NO_GAUGE);
    EXPECT_EQ(session->hooks.configure("not an address", "reply_delay = 0"), QUEN_GAUGESIM_NO_GAUGE);
    EXPECT_EQ(session->hooks.takeReading(nullptr), QUEN_GAUGESIM_NO_GAUGE);
    EXPECT_EQ(session->Configure("name = Other"), QUEN_GAUGESIM_REFUSED);
    EXPECT_STREQ(session->hooks.lastError(), "\"name\" is fixed once the gauge exists");
    EXPECT_EQ(session->Configure("reply_delay = soon"), QUEN_GAUGESIM_REFUSED);
    EXPECT_STREQ(session->hooks.lastError(),
                 "reply_delay: \"soon\" is not a number of milliseconds (0 to 86400000)");
    EXPECT_EQ(session->Configure("fault = sometimes"), QUEN_GAUGESIM_REFUSED);
    EXPECT_EQ(session->Command("$gcv!"), "$gcv?4.02!");  // nothing changed
}

}  // namespace
}  // namespace quen::gaugesim::test
