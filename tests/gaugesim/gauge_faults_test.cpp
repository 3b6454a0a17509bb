// Each fault mode makes the gauge misbehave as configured (the program's
// answer to it is tested with the gauge link).
#include "gauge_session.h"

#include "demo_gauges.h"

#include <algorithm>
#include <set>

namespace quen::gaugesim::test {
namespace {

class GaugeFaults : public ::testing::Test {
protected:
    void Open(const std::string& model, const std::vector<std::string>& lines)
    {
        GaugeSetup gauge;
        ASSERT_TRUE(ModelDefaults(model, gauge));
        session = std::make_unique<GaugeSession>();
        ASSERT_TRUE(session->Created()) << session->CreateError();
        ASSERT_TRUE(session->Connect(AddressText(gauge.address)));
        ASSERT_EQ(session->Configure("reply_delay = 0"), QUEN_GAUGESIM_OK);
        for (const std::string& line : lines)
            ASSERT_EQ(session->Configure(line), QUEN_GAUGESIM_OK) << line << ": " << session->hooks.lastError();
        session->events.clear();
    }

    std::unique_ptr<GaugeSession> session;
};

TEST_F(GaugeFaults, SilentGaugeNeverReplies)
{
    Open("QV", {"fault = silent"});
    for (const char* command : {"$quen00!", "$gpi!", "$gcv!", "$ls!", "$fr?m0001!"})
        EXPECT_EQ(session->Command(command, 3), command) << command;
    ASSERT_EQ(session->Configure("fault = none"), QUEN_GAUGESIM_OK);
    EXPECT_EQ(session->Command("$gcv!"), "$gcv?4.02!");
}

TEST_F(GaugeFaults, GarbageRepliesAreNotReplies)
{
    Open("PEL", {"fault = garbage"});
    std::set<std::string> seen;
    for (int i = 0; i < 20; ++i) {
        const std::string reply = session->Command("$gcv!");
        EXPECT_NE(reply, "$gcv!");
        EXPECT_NE(reply, "$gcv?1.45!");
        EXPECT_FALSE(reply.empty());
        seen.insert(reply);
    }
    EXPECT_GT(seen.size(), 10u);
}

TEST_F(GaugeFaults, NonNumericFieldsWhereNumbersBelong)
{
    Open("QV", {"fault = non-numeric"});
    const std::pair<const char*, const char*> cases[] = {
        {"$gcv!", "$gcv?x.xx!"},
        {"$fr?m0005!", "$fr?x xxx!"},
        {"$fc?1!", "$fc?x x!"},
        {"$quen00!", "$quen00?S:xxxx R:x.xx M:ExCxxDxxxxxx T:x V: B: H:x.x U:ym N:QVxxx A:x!"},
        {"$slt?2031-02-03/04:05:06!\r\n", "$slt?x!"},
    };
    for (const auto& [command, reply] : cases)
        EXPECT_EQ(session->Command(command), reply) << command;
    ASSERT_EQ(session->Command("$fr?m0001!"), "$fr?x xxxx!"); // handle 2, 4960 bytes
    const std::string block = session->Command("$rd?2 32!");
    EXPECT_EQ(block.substr(0, 11), "$rd?x x xx ") << block;
    EXPECT_EQ(block.find_first_of("0123456789"), std::string::npos) << block;
}

TEST_F(GaugeFaults, LateReplyComesAfterThePollingWindow)
{
    Open("GV-4", {"fault = late 600000"});
    EXPECT_EQ(session->Command("$gcv!", 5), "$gcv!");
    ASSERT_EQ(session->Configure("reply_delay = 0"), QUEN_GAUGESIM_OK);
    EXPECT_EQ(session->Read(gatt::kCommand), "$gcv!"); // the fault wins over the delay
    // The reply was held back, not lost.
    ASSERT_EQ(session->Configure("fault = none"), QUEN_GAUGESIM_OK);
    EXPECT_EQ(session->Read(gatt::kCommand), "$gcv?3.62!");
}

TEST_F(GaugeFaults, LinkDropsAtTheKthRequest)
{
    Open("VORTAN", {"fault = link-loss 3 600000"});
    EXPECT_EQ(session->Command("$gcv!"), "$gcv?3.87!");                   // requests 1 and 2
    EXPECT_EQ(session->Write(gatt::kCommand, "$gcv!").substr(0, 1), "!"); // request 3
    ASSERT_TRUE(session->PumpUntil([&] { return !session->EventsOf(VORNIK_EVENT_Disconnected).empty(); }));
    EXPECT_EQ(session->Read(gatt::kCommand).substr(0, 1), "!");
}

TEST_F(GaugeFaults, LinkComesBackAfterTheLoss)
{
    Open("BODUN", {"fault = link-loss 1 0"});
    EXPECT_EQ(session->Read(gatt::kDirectory).substr(0, 1), "!");
    ASSERT_TRUE(session->PumpUntil([&] { return !session->EventsOf(VORNIK_EVENT_Disconnected).empty(); }));
    session->PumpFor(5);
    GaugeSetup gauge;
    ASSERT_TRUE(ModelDefaults("BODUN", gauge));
    ASSERT_TRUE(session->Connect(AddressText(gauge.address)));
    // Once: the requests after the return are answered.
    EXPECT_EQ(session->Read(gatt::kDirectory), "4\n1,250\n2,0\n3,5000\n4,12");
    EXPECT_EQ(session->Command("$gcv!"), "$gcv?1.38!");
}

TEST_F(GaugeFaults, DirectoryCountDisagreesWithTheRecords)
{
    Open("GV-8", {"fault = count-mismatch 3"});
    EXPECT_EQ(session->Read(gatt::kDirectory), "4\n1,253\n2,3\n3,5003\n4,15");
    ASSERT_EQ(session->Write(gatt::kDirectory, "4"), "");
    int records = 0;
    for (std::string value; !(value = session->Read(gatt::kData)).empty();)
        records += 1 + static_cast<int>(std::count(value.begin(), value.end(), '\n'));
    EXPECT_EQ(records, 12);
    ASSERT_EQ(session->Configure("fault = count-mismatch -20"), QUEN_GAUGESIM_OK);
    EXPECT_EQ(session->Read(gatt::kDirectory), "4\n1,230\n2,0\n3,4980\n4,0");
}

TEST_F(GaugeFaults, FileSizeLargerThanTheData)
{
    Open("Zinto", {"fault = size-overstated 64"});
    ASSERT_EQ(session->Command("$fr?m0005!"), "$fr?1 224!");
    for (int block = 0; block < 5; ++block)
        EXPECT_EQ(session->Command("$rd?1 32!").substr(0, 11), "$rd?1 0 32 ");
    EXPECT_EQ(session->Command("$rd?1 32!"), "$rd?1 0 00 !");
    EXPECT_EQ(session->Command("$rd?1 32!"), "$rd?1 0 00 !");
}

TEST_F(GaugeFaults, CloseReportsANonZeroResult)
{
    Open("QV", {"fault = close-fails"});
    ASSERT_EQ(session->Command("$fr?s0003!"), "$fr?1 960!");
    EXPECT_EQ(session->Command("$fc?1!"), "$fc?1 1!");
    EXPECT_EQ(session->Command("$rd?1 4!").substr(0, 11), "$rd?1 0 04 "); // still open
    ASSERT_EQ(session->Configure("fault = close-fails 7"), QUEN_GAUGESIM_OK);
    EXPECT_EQ(session->Command("$fc?1!"), "$fc?1 7!");
    ASSERT_EQ(session->Configure("fault = none"), QUEN_GAUGESIM_OK);
    EXPECT_EQ(session->Command("$fc?1!"), "$fc?1 0!");
    EXPECT_EQ(session->Command("$fc?1!"), "$fc?1 1!"); // closed now
}

// A gauge whose memory is busy answers with an ATT error: its reads, its
// writes or both, its live subscription counting as a write. A refused
// command is not taken; a reply the gauge has made waits for the next read.
TEST_F(GaugeFaults, AttErrorRefusesTheChosenRequests)
{
    const std::string unlikely = "!Protocol error returned during communication: [14] {14}. Unlikely error.";
    const std::string notFound = "!Protocol error returned during communication: [10] {10}. Attribute not found.";
    struct Case {
        const char* fault;
        std::string write;     // what writing "$gcv!" gives
        std::string read;      // what reading the command characteristic then gives
        std::string directory; // what reading the directory gives
        bool subscribes;
    };
    const Case cases[] = {
        {"att-error", unlikely, unlikely, unlikely, false},
        {"att-error 0x0A reads", "", notFound, notFound, true},
        {"att-error 10 writes", notFound, "", "0", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        Open("QV", {"fault = " + std::string(c.fault)});
        EXPECT_EQ(session->Write(gatt::kCommand, "$gcv!"), c.write);
        EXPECT_EQ(session->Read(gatt::kCommand), c.read);
        EXPECT_EQ(session->Read(gatt::kDirectory), c.directory);
        const std::string memory = session->ServiceOf(gatt::kLive);
        const std::string live = session->CharacteristicOf(gatt::kLive);
        EXPECT_EQ(session->control().call(VORNIK_DISPID_Subscribe, {str(memory), str(live)}) == VORNIK_S_OK,
                  c.subscribes);
        ASSERT_EQ(session->Configure("fault = none"), QUEN_GAUGESIM_OK);
        // A write the gauge took has its reply waiting; a refused one has none.
        EXPECT_EQ(session->Read(gatt::kCommand), c.write.empty() ? "$gcv?4.02!" : "");
        EXPECT_EQ(session->Command("$gcv!"), "$gcv?4.02!");
    }
}

// Every fault under every request of a download, on a gauge of each class:
// the gauge misbehaves but keeps answering, and is itself again after
// "fault = none" (except a lost link, which needs a new connection).
TEST_F(GaugeFaults, EveryFaultUnderEveryRequestOfADownload)
{
    const char* faults[] = {"silent",        "garbage",          "non-numeric",         "late 600000",
                            "link-loss 4 0", "count-mismatch 5", "size-overstated 100", "close-fails 2",
                            "att-error 0x0E"};
    for (const char* fault : faults) {
        for (const char* model : {"QV", "GV-8"}) {
            SCOPED_TRACE(std::string(model) + " " + fault);
            Open(model, {std::string("fault = ") + fault});
            int failures = 0;
            for (const char* command :
                 {"$quen00!", "$gpi!", "$gcv!", "$glt!", "$ls!", "$fr?m0001!", "$rd?1 32!", "$fc?1!", "$xyz!"}) {
                const std::string value = session->Command(command);
                failures += value.rfind("!", 0) == 0;
            }
            for (const char* memory : {"1", "2", "-"}) {
                failures += session->Write(gatt::kDirectory, memory).rfind("!", 0) == 0;
                failures += session->Read(gatt::kData).rfind("!", 0) == 0;
                failures += session->Read(gatt::kDirectory).rfind("!", 0) == 0;
            }
            const bool linkLoss = std::string(fault).rfind("link-loss", 0) == 0;
            EXPECT_EQ(failures > 0, linkLoss || std::string(fault).rfind("att-error", 0) == 0);
            if (linkLoss) {
                ASSERT_TRUE(session->PumpUntil([&] { return !session->EventsOf(VORNIK_EVENT_Disconnected).empty(); }));
                session->PumpFor(5);
                GaugeSetup gauge;
                ASSERT_TRUE(ModelDefaults(model, gauge));
                ASSERT_TRUE(session->Connect(AddressText(gauge.address)));
            }
            ASSERT_EQ(session->Configure("fault = none"), QUEN_GAUGESIM_OK);
            GaugeSetup gauge;
            ASSERT_TRUE(ModelDefaults(model, gauge));
            EXPECT_EQ(session->Command("$gcv!"), "$gcv?" + gauge.battery + "!");
        }
    }
}

} // namespace
} // namespace quen::gaugesim::test
