// The gauge link end to end: the program's control wrapper on the
// simulated radio with the simulated gauges.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <functional>
#include <memory>

#include "gauge/gauge_link.h"
#include "gauge/vornik_qt_host.h"
#include "instant_clock.h"
#include "quen_gaugesim.h"

namespace qc {
namespace {

using namespace std::chrono_literals;
using test::Gauge;
using test::InstantClock;
using test::kGV4;
using test::kPellax;
using test::kQV;
using Kind = LinkHandover::Kind;

class GaugeLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        ::setenv("XDG_DATA_HOME", home.path().toUtf8().constData(), 1);
        ::setenv("XDG_DATA_DIRS", (home.path() + "/system").toUtf8().constData(), 1);
        ::setenv("VORNIK220_RADIO", "sim", 1);
        ::setenv("VORNIK_SIM_MODULE", QUEN_GAUGESIM_MODULE, 1);
        ::unsetenv(QUEN_GAUGESIM_DIR_VARIABLE);
        control = std::make_unique<VornikControl>();
        ASSERT_TRUE(control->isCreated()) << control->lastError().description.toStdString();
        host = std::make_unique<VornikQtHost>(*control);
    }

    void Open(const Gauge& gauge, WaitClock& clock, std::initializer_list<const char*> faults = {})
    {
        address = gauge.address;
        link = std::make_unique<GaugeLink>(*control, clock);
        link->SetHandoverSink([this](const LinkHandover& h) { handovers.push_back(h); });
        link->SetLogSink([this](const QString& line) { log << line; });
        const RequestResult connected =
            link->Connect(QString::fromLatin1(gauge.address), QString::fromLatin1(gauge.name));
        ASSERT_TRUE(connected.ok()) << connected.Message(1).toStdString();
        if (&clock == &instant) { // replies due at once: the virtual clock does not wait for them
            ASSERT_EQ(Configure("reply_delay = 0"), QUEN_GAUGESIM_OK);
        }
        for (const char* line : faults)
            ASSERT_EQ(Configure(line), QUEN_GAUGESIM_OK) << line;
    }

    int TakeReading()
    {
        void* module = ::dlopen(QUEN_GAUGESIM_MODULE, RTLD_NOW | RTLD_NOLOAD);
        if (module == nullptr)
            return -1;
        auto take = reinterpret_cast<int (*)(const char*)>(::dlsym(module, "quen_gaugesim_take_reading"));
        ::dlclose(module);
        return take ? take(address) : -1;
    }

    int Configure(const char* line)
    {
        void* module = ::dlopen(QUEN_GAUGESIM_MODULE, RTLD_NOW | RTLD_NOLOAD);
        if (module == nullptr)
            return -1;
        auto configure =
            reinterpret_cast<int (*)(const char*, const char*)>(::dlsym(module, "quen_gaugesim_configure"));
        ::dlclose(module);
        return configure ? configure(address, line) : -1;
    }

    QString Field(Kind kind, char key) const
    {
        for (const LinkHandover& h : handovers)
            if (h.kind == kind && h.Key == QChar::fromLatin1(key))
                return h.Text;
        return QStringLiteral("<none>");
    }

    QTemporaryDir home;
    std::unique_ptr<VornikControl> control;
    std::unique_ptr<VornikQtHost> host;
    std::unique_ptr<GaugeLink> link;
    std::vector<LinkHandover> handovers;
    QStringList log;
    const char* address = "";
    EventLoopClock realClock;
    InstantClock instant;
};

TEST_F(GaugeLinkTest, IdentifiesGaugesOfBothClasses)
{
    struct Case {
        Gauge gauge;
        bool probe;
        const char* serial;
        const char* version;
        const char* probeType;
        double volts;
        bool alt;
    };
    const Case cases[] = {
        {kQV, true, "5101", "", "F5", 4.02, false},
        {kGV4, true, "4420", "", "H3", 3.62, true},
        {kPellax, false, "4711", "1", "<none>", 1.45, false},
    };
    for (const Case& c : cases) {
        handovers.clear();
        Open(c.gauge, realClock);
        EXPECT_EQ(link->State().Ids.SvcAltId.isEmpty(), !c.alt) << c.gauge.name;
        RequestResult r = link->Identify();
        ASSERT_TRUE(r.ok()) << c.gauge.name << ": " << r.Message(1).toStdString();
        if (c.probe) {
            r = link->ProbeInfo();
            ASSERT_TRUE(r.ok()) << c.gauge.name << ": " << r.Message(1).toStdString();
        }
        EXPECT_EQ(Field(Kind::GaugeField, 'S'), QString::fromLatin1(c.serial)) << c.gauge.name;
        EXPECT_EQ(Field(Kind::GaugeField, 'V'), QString::fromLatin1(c.version)) << c.gauge.name; // "V: ": empty
        EXPECT_EQ(Field(Kind::ProbeField, 'T'), QString::fromLatin1(c.probeType)) << c.gauge.name;
        r = link->Battery();
        ASSERT_TRUE(r.ok()) << r.Message(1).toStdString();
        EXPECT_DOUBLE_EQ(link->State().BatteryVoltage, c.volts) << c.gauge.name;
        EXPECT_FALSE(link->RequestOutstanding());
        link->Disconnect();
    }
}

TEST_F(GaugeLinkTest, ClockIsSetAndReadBack)
{
    Open(kPellax, realClock);
    const QDateTime when(QDate(2025, 3, 4), QTime(5, 6, 7));
    EXPECT_EQ(GaugeLink::SetClockText(when), QStringLiteral("$slt?2025-03-04/05:06:07!\r\n"));
    ASSERT_TRUE(link->SetGaugeClock(when).ok());
    ASSERT_TRUE(link->GaugeClock().ok());
    EXPECT_TRUE(link->State().ReplyText.startsWith(QStringLiteral("2025-03-04/05:06:0")))
        << link->State().ReplyText.toStdString();
}

TEST_F(GaugeLinkTest, SubscribeAndUnsubscribe)
{
    Open(kPellax, realClock);
    ASSERT_TRUE(link->Subscribe().ok());
    EXPECT_TRUE(link->State().IsSubscribed);
    ASSERT_TRUE(link->Unsubscribe().ok());
    EXPECT_FALSE(link->State().IsSubscribed);
}

// A gauge that never answers: the polling window of five 200 ms ticks ends
// the request with the user told, and the link stays usable.
TEST_F(GaugeLinkTest, SilentGaugeEndsAfterThePollingWindow)
{
    Open(kQV, instant, {"fault = silent"});
    const RequestResult r = link->Identify();
    EXPECT_EQ(r.end, RequestEnd::NoReply);
    EXPECT_EQ(r.Message(1), QStringLiteral("The gauge did not answer \"$quen00!\" in time."));
    EXPECT_EQ(r.Message(0), QStringLiteral("Das Gerät hat auf \"$quen00!\" nicht rechtzeitig geantwortet."));
    EXPECT_EQ(instant.elapsed, 5 * GaugeLink::kReplyTick);
    EXPECT_FALSE(link->RequestOutstanding());
    EXPECT_EQ(link->State().ReplyState, kReplyDone);
    EXPECT_TRUE(handovers.empty()); // the echo completed nothing
    EXPECT_EQ(log.back(), QStringLiteral("Gauge request The gauge did not answer \"$quen00!\" in time."));
    ASSERT_EQ(Configure("fault = none"), QUEN_GAUGESIM_OK);
    EXPECT_TRUE(link->Battery().ok());
}

// Every request under every reply fault ends, leaves nothing outstanding,
// and never takes a damaged reply for a good one.
TEST_F(GaugeLinkTest, EveryRequestUnderEveryFaultEnds)
{
    Open(kQV, instant);
    using Request = RequestResult (GaugeLink::*)();
    const std::pair<const char*, Request> requests[] = {{"identify", &GaugeLink::Identify},
                                                        {"probe", &GaugeLink::ProbeInfo},
                                                        {"battery", &GaugeLink::Battery},
                                                        {"clock", &GaugeLink::GaugeClock}};
    struct Fault {
        const char* line;
        bool answers;
    };
    const Fault faults[] = {{"fault = silent", false},
                            {"fault = late 60000", false},
                            {"fault = garbage", false},
                            {"fault = non-numeric", true},
                            {"fault = none", true}};
    for (const Fault& fault : faults)
        for (const auto& [name, request] : requests) {
            ASSERT_EQ(Configure("fault = none"), QUEN_GAUGESIM_OK); // fault lines add up
            ASSERT_EQ(Configure(fault.line), QUEN_GAUGESIM_OK);
            handovers.clear();
            const double voltsBefore = link->State().BatteryVoltage;
            const RequestResult r = (link.get()->*request)();
            EXPECT_EQ(r.ok(), fault.answers) << fault.line << " " << name << ": " << r.Message(1).toStdString();
            EXPECT_FALSE(link->RequestOutstanding());
            EXPECT_NE(link->State().ReplyState, kReplyOutstanding);
            if (!fault.answers) {
                EXPECT_TRUE(handovers.empty()) << fault.line << " " << name;
            }
            if (std::string(fault.line) == "fault = non-numeric" && std::string(name) == "battery") {
                EXPECT_EQ(link->State().BatteryVoltage, voltsBefore); // "$gcv?x.xx!"
            }
        }
}

// A gauge answering with an ATT error while its memory is busy: every
// request that reads or writes what the fault refuses ends at once as a
// Bluetooth error in the radio's words, takes nothing from the gauge, leaves
// nothing outstanding, and works again once the fault is gone.
TEST_F(GaugeLinkTest, EveryRequestUnderAnAttError)
{
    Open(kQV, instant);
    const QDateTime when(QDate(2031, 2, 3), QTime(4, 5, 6));
    struct Request {
        const char* name;
        std::function<RequestResult()> run;
        bool reads; // reads the gauge's characteristics (the reply polling)
    };
    // Each writes; subscribing comes first, so unsubscribing finds a subscription.
    const Request requests[] = {{"identify", [&] { return link->Identify(); }, true},
                                {"probe", [&] { return link->ProbeInfo(); }, true},
                                {"battery", [&] { return link->Battery(); }, true},
                                {"clock", [&] { return link->GaugeClock(); }, true},
                                {"set clock", [&] { return link->SetGaugeClock(when); }, false},
                                {"subscribe", [&] { return link->Subscribe(); }, false},
                                {"unsubscribe", [&] { return link->Unsubscribe(); }, false}};
    struct Fault {
        const char* line;
        bool reads;
        bool writes;
        const char* words; // the radio's words for the code
    };
    const Fault faults[] = {{"fault = att-error", true, true, "[14] {14}. Unlikely error."},
                            {"fault = att-error 0x0A reads", true, false, "[10] {10}. Attribute not found."},
                            {"fault = att-error 0x0A writes", false, true, "[10] {10}. Attribute not found."}};
    for (const Fault& fault : faults) {
        for (const Request& request : requests) {
            SCOPED_TRACE(std::string(fault.line) + ", " + request.name);
            ASSERT_EQ(Configure("fault = none"), QUEN_GAUGESIM_OK);
            ASSERT_EQ(Configure(fault.line), QUEN_GAUGESIM_OK);
            handovers.clear();
            instant.elapsed = 0ms;
            const double voltsBefore = link->State().BatteryVoltage;
            link->MutableState().BatteryVoltage = -1;
            const RequestResult r = request.run();
            const bool refused = fault.writes || (fault.reads && request.reads);
            EXPECT_EQ(r.ok(), !refused) << r.Message(1).toStdString();
            EXPECT_LE(instant.elapsed, refused ? 0ms : link->Deadlines().command);
            EXPECT_FALSE(link->RequestOutstanding());
            EXPECT_NE(link->State().ReplyState, kReplyOutstanding);
            if (!refused)
                continue;
            EXPECT_EQ(r.end, RequestEnd::ControlError);
            EXPECT_EQ(r.Message(1), QStringLiteral("Bluetooth error at \"%1\". Protocol error returned during "
                                                   "communication: %2")
                                        .arg(r.step.trimmed(), QLatin1String(fault.words)));
            EXPECT_TRUE(handovers.empty());
            EXPECT_EQ(link->State().BatteryVoltage, -1);
            link->MutableState().BatteryVoltage = voltsBefore;
            ASSERT_EQ(Configure("fault = none"), QUEN_GAUGESIM_OK);
            const RequestResult next = request.run();
            EXPECT_TRUE(next.ok()) << next.Message(1).toStdString();
        }
    }
}

// The identification with each fault at each of its requests in turn: the
// faulty request ends within its deadline and says why in both languages,
// the fields of the earlier requests are kept, nothing stays outstanding,
// and once the fault is gone (and the gauge reconnected after a link loss)
// the whole identification works again.
TEST_F(GaugeLinkTest, IdentificationFaultSweep)
{
    using Request = RequestResult (GaugeLink::*)();
    const std::pair<const char*, Request> sequence[] = {
        {"identify", &GaugeLink::Identify}, {"probe", &GaugeLink::ProbeInfo}, {"battery", &GaugeLink::Battery}};
    const char* const faults[] = {"fault = silent", "fault = garbage", "fault = late 60000", "link-loss",
                                  "fault = att-error"};
    for (const char* fault : faults) {
        for (std::size_t at = 0; at < std::size(sequence); ++at) {
            SCOPED_TRACE(std::string(fault) + " at " + sequence[at].first);
            const bool linkLoss = std::string(fault) == "link-loss";
            if (link)
                link->Disconnect();
            handovers.clear();
            Open(kQV, linkLoss ? static_cast<WaitClock&>(realClock) : instant);
            for (std::size_t i = 0; i < at; ++i)
                ASSERT_TRUE((link.get()->*sequence[i].second)().ok()) << sequence[i].first;
            const std::vector<LinkHandover> before = handovers;
            const double voltsBefore = link->State().BatteryVoltage;
            // A link loss comes with the first radio request from now on.
            ASSERT_EQ(Configure(linkLoss ? "fault = link-loss 1 0" : fault), QUEN_GAUGESIM_OK);
            instant.elapsed = 0ms;

            const RequestResult r = (link.get()->*sequence[at].second)();

            EXPECT_FALSE(r.ok());
            EXPECT_FALSE(r.Message(0).isEmpty());
            EXPECT_FALSE(r.Message(1).isEmpty());
            EXPECT_LE(instant.elapsed, link->Deadlines().command);
            EXPECT_FALSE(link->RequestOutstanding());
            EXPECT_NE(link->State().ReplyState, kReplyOutstanding);
            EXPECT_EQ(handovers, before);
            EXPECT_EQ(link->State().BatteryVoltage, voltsBefore);

            ASSERT_EQ(Configure("fault = none"), QUEN_GAUGESIM_OK);
            if (linkLoss) {
                realClock.PumpEventsUntil([&] { return !link->IsConnected(); }, 5s);
                const RequestResult again =
                    link->Connect(QString::fromLatin1(kQV.address), QString::fromLatin1(kQV.name));
                ASSERT_TRUE(again.ok()) << again.Message(1).toStdString();
            }
            handovers.clear();
            for (const auto& [name, request] : sequence) {
                const RequestResult next = (link.get()->*request)();
                EXPECT_TRUE(next.ok()) << name << ": " << next.Message(1).toStdString();
            }
            EXPECT_EQ(Field(Kind::GaugeField, 'S'), QStringLiteral("5101"));
            EXPECT_EQ(Field(Kind::ProbeField, 'T'), QStringLiteral("F5"));
            EXPECT_DOUBLE_EQ(link->State().BatteryVoltage, 4.02);
        }
    }
}

// The main window's Stop ends the wait; the event loop ran during it.
TEST_F(GaugeLinkTest, StopCancelsTheWait)
{
    Open(kQV, realClock, {"fault = silent"});
    bool timerRan = false;
    QTimer::singleShot(100, [&] {
        timerRan = true;
        link->Stop();
    });
    const RequestResult r = link->Identify();
    EXPECT_TRUE(timerRan);
    EXPECT_EQ(r.end, RequestEnd::Stopped);
    EXPECT_EQ(r.Message(1), QStringLiteral("\"$quen00!\" was cancelled."));
    EXPECT_FALSE(link->RequestOutstanding());
}

TEST_F(GaugeLinkTest, LinkLossEndsTheRequestAndReconnectWorks)
{
    Open(kPellax, realClock, {"fault = link-loss 1 0"});
    const RequestResult r = link->Battery();
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.end == RequestEnd::LinkLost || r.end == RequestEnd::ControlError) << r.Message(1).toStdString();
    EXPECT_FALSE(link->RequestOutstanding());
    realClock.PumpEventsUntil([&] { return !link->IsConnected(); }, 5s);
    EXPECT_FALSE(link->IsConnected());
    EXPECT_FALSE(link->State().CommandPathReady);
    EXPECT_EQ(link->Battery().end, RequestEnd::NotReady);
    const RequestResult again = link->Connect(QString::fromLatin1(kPellax.address), QString::fromLatin1(kPellax.name));
    ASSERT_TRUE(again.ok()) << again.Message(1).toStdString();
    EXPECT_TRUE(link->Battery().ok());
}

// Values of the memory service go to their receivers: the directory when
// read, each live reading as it is notified.
TEST_F(GaugeLinkTest, DirectoryAndLiveReadingsAreHandedOn)
{
    Open(kPellax, realClock);
    ASSERT_TRUE(link->ReadStorageInfo());
    ASSERT_EQ(handovers.size(), 1u);
    EXPECT_EQ(handovers[0].kind, Kind::Directory);
    EXPECT_FALSE(handovers[0].Text.isEmpty());
    EXPECT_EQ(link->State().ReplyState, kReplyDone);
    handovers.clear();
    // Selecting a memory completes with the write response.
    link->MutableState().SendText = QStringLiteral("1");
    link->MutableState().ReplyState = kReplyOutstanding;
    ASSERT_TRUE(link->WriteStorageInfo());
    EXPECT_EQ(link->State().ReplyState, kReplyDone);
    ASSERT_TRUE(link->SondenFreigabe());
    EXPECT_EQ(link->State().SendText, QStringLiteral("-"));
    EXPECT_TRUE(handovers.empty());
    ASSERT_TRUE(link->Subscribe().ok());
    ASSERT_EQ(TakeReading(), QUEN_GAUGESIM_OK);
    EXPECT_TRUE(realClock.PumpEventsUntil([&] { return !handovers.empty(); }, 5s));
    ASSERT_FALSE(handovers.empty());
    EXPECT_EQ(handovers[0].kind, Kind::LiveReading);
    EXPECT_FALSE(handovers[0].Text.isEmpty());
}

// A gauge that shows the command without its "$" before the reply: the
// shown command is no reply either.
TEST_F(GaugeLinkTest, StrippedEchoIsNoReply)
{
    Open(kQV, realClock, {"echo = stripped"});
    ASSERT_TRUE(link->Identify().ok());
    EXPECT_EQ(Field(Kind::GaugeField, 'N'), QStringLiteral("QV500"));
    ASSERT_TRUE(link->Battery().ok());
    EXPECT_DOUBLE_EQ(link->State().BatteryVoltage, 4.02);
}

// The link drops after the command was written, while the reply is polled.
TEST_F(GaugeLinkTest, LinkLossWhilePollingEndsTheRequest)
{
    Open(kQV, realClock, {"fault = link-loss 2 600000"});
    const RequestResult r = link->Identify();
    EXPECT_TRUE(r.end == RequestEnd::LinkLost || r.end == RequestEnd::ControlError) << r.Message(1).toStdString();
    EXPECT_FALSE(r.detail.isEmpty());
    EXPECT_FALSE(link->RequestOutstanding());
    EXPECT_TRUE(handovers.empty());
    EXPECT_TRUE(realClock.PumpEventsUntil([&] { return !link->IsConnected(); }, 5s));
    EXPECT_EQ(link->Identify().end, RequestEnd::NotReady);
}

// Disconnect and connect again on the same link, to the same gauge and to
// another: no event of the old connection ends the new one.
TEST_F(GaugeLinkTest, ReconnectOnTheSameLink)
{
    Open(kPellax, realClock);
    for (const Gauge& gauge : {kPellax, kQV, kPellax}) {
        link->Disconnect();
        EXPECT_FALSE(link->State().CommandPathReady);
        EXPECT_EQ(link->Battery().end, RequestEnd::NotReady);
        const RequestResult r = link->Connect(QString::fromLatin1(gauge.address), QString::fromLatin1(gauge.name));
        ASSERT_TRUE(r.ok()) << gauge.name << ": " << r.Message(1).toStdString();
        EXPECT_TRUE(link->Battery().ok()) << gauge.name;
    }
}

TEST_F(GaugeLinkTest, UnknownAddressEndsWithinTheDeadline)
{
    link = std::make_unique<GaugeLink>(*control, instant);
    const RequestResult r = link->Connect(QStringLiteral("E8C04D0009FF"), QStringLiteral("nothing"));
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(link->IsConnected());
    EXPECT_EQ(link->Identify().end, RequestEnd::NotReady);
}

// A refused subscription change is logged with the control's error number
// and description, and the call returns normally.
TEST_F(GaugeLinkTest, RefusedSubscriptionIsLogged)
{
    link = std::make_unique<GaugeLink>(*control, instant);
    link->SetLogSink([this](const QString& line) { log << line; });
    const QString notConnected =
        QStringLiteral("20606 You must be connected to a server to perform the requested action.");
    EXPECT_FALSE(link->SubMeasure());
    EXPECT_EQ(log.value(0), notConnected + QStringLiteral(" Fehler Sub Measure"));
    EXPECT_FALSE(link->UnsubMeasure());
    EXPECT_EQ(log.value(1), notConnected + QStringLiteral(" Fehler UNSub Measure"));
}

} // namespace
} // namespace qc
