// The engine on the BlueZ backend against the mock bluetoothd: a request
// whose wait ends without its answer has its bus call cancelled, and the
// next request of its kind gets its own answer.
#include <gtest/gtest.h>

#include <poll.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ble_engine.h"
#include "event_recorder.h"
#include "mock_bluez.h"
#include "platform/bluez/bluez_platform.h"

namespace vornik::test {
namespace {

const std::string kEchoHex = "6563686f"; // what char0011 holds: "echo"
const char* kDevice = "org.bluez.Device1";
const char* kCharacteristic = "org.bluez.GattCharacteristic1";
const char* kDescriptor = "org.bluez.GattDescriptor1";

// Connected after a while, but bluetoothd never resolves the services.
const char* kConnectWithoutServices =
    "w.set_method('', DEVICE_IFACE, 'Connect', '', \"time.sleep(0.3)\\n"
    "self.UpdateProperties('org.bluez.Device1', {'Connected': dbus.Boolean(True)})\")";

enum class Ending { Timeout, Interrupt, Disconnect };

const char* NameOf(Ending ending)
{
    return ending == Ending::Timeout ? " past the timeout" : ending == Ending::Interrupt ? " interrupted" : " unlinked";
}

class BluezCancel : public ::testing::Test {
protected:
    void SetUp() override { Start(); }
    void TearDown() override { Stop(); }

    void Start()
    {
        world_ = std::make_unique<MockBluez>(true);
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", world_->Address().c_str(), 1);
        ::unsetenv("VORNIK220_BLUEZ_ADAPTER");
        std::string error;
        auto platform = bluez::BluezPlatform::Open(error);
        ASSERT_TRUE(platform) << error;
        bluez_ = platform.get();
        engine_ = std::make_unique<BleEngine>(std::move(platform));
        engine_->SetEventSink(&events_);
        Prepare(true);
    }

    void Stop()
    {
        if (engine_) {
            engine_->SetHostPump({});
            engine_->SetEventSink(nullptr);
        }
        engine_.reset();
        world_.reset();
    }

    // A connected, discovered gauge (linked) or none, and no events yet.
    void Prepare(bool linked)
    {
        engine_->Disconnect();
        if (linked) {
            ASSERT_EQ(engine_->Connect(kServer), 0) << engine_->LastError();
            ASSERT_EQ(engine_->Discover("", "", true, ""), 0) << engine_->LastError();
        }
        ASSERT_TRUE(PumpUntil([this] { return bluez_->PendingCalls() == 0; }));
        events_.Clear();
    }

    // The next call of method on the object at name (under the device)
    // is answered late, as bluetoothd does while it waits for the link.
    void Late(const std::string& name, const std::string& iface, const std::string& method)
    {
        ASSERT_EQ(world_->Do("w.late_once('" + name + "', '" + iface + "', '" + method + "', 1.5)"), "");
    }

    void Mock(const std::string& statement) { ASSERT_EQ(world_->Do(statement), ""); }

    // Ends the wait in this way once its bus call is out (or, with
    // answered, once that call is answered and the wait goes on).
    void End(Ending ending, bool answered = false)
    {
        ASSERT_EQ(engine_->SetTimeout(ending == Ending::Timeout ? 1 : 5), 0);
        if (ending == Ending::Timeout)
            return;
        engine_->SetHostPump([this, ending, answered, sent = false, armed = true]() mutable {
            sent = sent || bluez_->PendingCalls() > 0;
            if (!armed || !sent || (answered && bluez_->PendingCalls() > 0))
                return;
            armed = false;
            if (ending == Ending::Interrupt)
                engine_->Interrupt();
            else
                EXPECT_EQ(engine_->Disconnect(), 0);
        });
    }

    void Restore()
    {
        engine_->SetHostPump({});
        ASSERT_EQ(engine_->SetTimeout(60), 0);
    }

    // Runs the engine's rounds until done holds; false past a deadline.
    bool PumpUntil(const std::function<bool()>& done)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            pollfd watched{engine_->PollDescriptor(), POLLIN, 0};
            ::poll(&watched, 1, 50);
            engine_->DoEvents();
        }
        return true;
    }

    // Waits until the mock bluetoothd has sent every late answer and the
    // backend has taken them in: the answers to a scan started and stopped
    // come after them on the bus.
    void Settle()
    {
        ASSERT_EQ(world_->Do("w.obj(DEVICE, PROPS).Get(DEVICE_IFACE, 'Name')"), "PELLAX DUAL FE");
        const auto watcher = bluez_->CreateAdvertisementWatcher();
        watcher->Start();
        EXPECT_TRUE(PumpUntil([&] { return watcher->Status() == platform::WatcherStatus::Started; }));
        watcher->Stop();
        EXPECT_TRUE(PumpUntil([&] { return watcher->Status() == platform::WatcherStatus::Stopped; }));
        EXPECT_TRUE(PumpUntil([this] { return bluez_->PendingCalls() == 0; })) << "a bus call is left running";
    }

    // The values of the Value events so far, in hex.
    std::vector<std::string> Values() const
    {
        std::vector<std::string> out;
        for (const std::string& line : events_.events)
            if (line.rfind("Value(", 0) == 0) {
                std::string hex = line.substr(line.rfind(',') + 1);
                hex.pop_back();
                std::string compact;
                for (const unsigned char c : hex)
                    if (c != ' ')
                        compact.push_back(static_cast<char>(std::tolower(c)));
                out.push_back(compact);
            }
        return out;
    }

    std::unique_ptr<MockBluez> world_;
    bluez::BluezPlatform* bluez_ = nullptr;
    std::unique_ptr<BleEngine> engine_;
    EventRecorder events_;
};

int ReadEcho(BleEngine& engine, const std::string& descriptor = "")
{
    std::string out;
    return engine.ReadValue(kMain, kEcho, descriptor, out);
}

int Connect(BleEngine& e) { return e.Connect(kServer); }
int Read(BleEngine& e) { return ReadEcho(e); }
int Write(BleEngine& e) { return e.WriteValue(kMain, kEcho, "", "echo"); }
int Post(BleEngine& e) { return e.PostValue(kMain, kEcho, "echo"); }
int ReadDescription(BleEngine& e) { return ReadEcho(e, kDescription); }
int WriteDescription(BleEngine& e) { return e.WriteValue(kMain, kEcho, kDescription, "Tip"); }
int Subscribe(BleEngine& e) { return e.Subscribe(kMain, kCounter); }
int Unsubscribe(BleEngine& e) { return e.Unsubscribe(kMain, kCounter); }
int SubscribeByCccd(BleEngine& e) { return e.WriteValue(kMain, kCounter, kCccd, std::string("\x01\x00", 2)); }
int UnsubscribeByCccd(BleEngine& e) { return e.WriteValue(kMain, kCounter, kCccd, std::string(2, '\0')); }
int Details(BleEngine& e)
{
    std::string out;
    const int selected = e.SetService(kMain);
    return selected ? selected : e.GetCharacteristicUserDescription(0, out);
}

// A request kind: the bus method of the object (under the device, "" the
// device itself) that answers late, the control call, the bus calls still
// out right after the end, and the Value events of an answered call.
struct Kind {
    const char* name;
    const char* object;
    const char* iface;
    const char* method; // none: Connect answers, but services are never resolved
    int (*call)(BleEngine&);
    std::size_t left;
    int values;
};

// After a failed connect the engine drops the link: its Disconnect is still
// out. A read's call is kept for its late echo, a subscription change's for
// what bluetoothd did late.
const std::vector<Kind> kKinds = {
    {"Connect", "", kDevice, "Connect", Connect, 1, 0},
    {"ConnectWithoutServices", "", kDevice, nullptr, Connect, 1, 0},
    {"ReadValue", "service0010/char0011", kCharacteristic, "ReadValue", Read, 1, 1},
    {"WriteValue", "service0010/char0011", kCharacteristic, "WriteValue", Write, 0, 0},
    {"PostValue", "service0010/char0011", kCharacteristic, "WriteValue", Post, 0, 0},
    {"ReadDescriptor", "service0010/char0011/desc0013", kDescriptor, "ReadValue", ReadDescription, 0, 1},
    {"WriteDescriptor", "service0010/char0011/desc0013", kDescriptor, "WriteValue", WriteDescription, 0, 0},
    {"GetDetails", "service0010/char0011/desc0013", kDescriptor, "ReadValue", Details, 0, 0},
    {"Subscribe", "service0010/char0015", kCharacteristic, "StartNotify", Subscribe, 1, 0},
    {"Unsubscribe", "service0010/char0015", kCharacteristic, "StopNotify", Unsubscribe, 1, 0},
};

// Ends one late request of each kind in this way: the call fails with the
// wait's code, its bus call is dropped (or kept for its late outcome), the
// late answer raises nothing, and the next request gets its own answer.
class BluezCancelSweep : public BluezCancel {
protected:
    void Run(Ending ending)
    {
        for (const Kind& k : kKinds) {
            const bool linked = *k.object != 0;
            if (ending == Ending::Disconnect && !linked)
                continue; // no link to lose yet
            SCOPED_TRACE(std::string(k.name) + NameOf(ending));
            Prepare(linked);
            // Only what is on can be turned off.
            const bool unsubscribe = k.call == Unsubscribe;
            if (unsubscribe) {
                ASSERT_EQ(Subscribe(*engine_), 0) << engine_->LastError();
            }
            if (k.method)
                Late(k.object, k.iface, k.method);
            else
                Mock(kConnectWithoutServices);
            events_.Clear();
            End(ending, !k.method);
            const int code = k.call(*engine_);
            Restore();
            EXPECT_EQ(code, ending == Ending::Disconnect ? 605 : 301) << engine_->LastError();
            const char* error = ending == Ending::Timeout ? "Timeout." : "Interrupted.";
            if (ending != Ending::Disconnect) {
                EXPECT_EQ(engine_->LastError(), error);
            }
            // The engine's own Disconnect waits behind the late answer.
            EXPECT_EQ(bluez_->PendingCalls(), k.left + (ending == Ending::Disconnect ? 1 : 0));
            Settle();
            // Nothing but what the ending itself raises.
            const std::vector<std::string> raised = ending == Ending::Disconnect
                                                        ? std::vector<std::string>{"Disconnected(0,OK)"}
                                                        : std::vector<std::string>{};
            EXPECT_EQ(events_.events, raised) << "the late answer reached the host";
            if (!k.method)
                Mock("w.set_method('', DEVICE_IFACE, 'Connect', '', CONNECT)");
            Prepare(linked);
            if (unsubscribe) {
                ASSERT_EQ(Subscribe(*engine_), 0) << engine_->LastError();
            }
            EXPECT_EQ(k.call(*engine_), 0) << engine_->LastError();
            EXPECT_EQ(events_.CountPrefix("Value("), k.values);
        }
    }
};

TEST_F(BluezCancelSweep, EveryRequestPastTheTimeoutDropsItsBusCall) { Run(Ending::Timeout); }

TEST_F(BluezCancelSweep, EveryRequestInterruptedDropsItsBusCall) { Run(Ending::Interrupt); }

TEST_F(BluezCancelSweep, EveryRequestOfALinkClosedDuringItsWaitDropsItsBusCall) { Run(Ending::Disconnect); }

// bluetoothd completes a read nobody waits for any more and sets Value
// just before its late reply: that change is the read's, not a
// notification; real ones meanwhile arrive once, in order, also when the
// read fails late (the link lost).
TEST_F(BluezCancel, ACancelledReadsLateEchoIsNoNotification)
{
    struct Case {
        const char* name;
        std::vector<std::string> notes; // value changes while the read is out
        const char* reply;
    };
    const std::vector<Case> cases = {
        {"the echo alone", {}, "echo"},
        {"a notification meanwhile", {"4e"}, "echo"},
        {"one equal to the answer", {kEchoHex}, "echo"},
        {"several", {"41", kEchoHex, "4243"}, "echo"},
        {"a late failure", {"4e", kEchoHex}, "error"},
    };
    for (Ending ending : {Ending::Timeout, Ending::Interrupt}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + NameOf(ending));
            std::string notes;
            for (const std::string& note : c.notes)
                notes += "'" + note + "',";
            Mock("w.late_read('service0010/char0011', [" + notes + "], '" + c.reply + "')");
            End(ending);
            EXPECT_EQ(ReadEcho(*engine_), 301);
            Restore();
            EXPECT_EQ(bluez_->PendingCalls(), 1u) << "the read's call is kept for its echo";
            events_.Clear();
            // Answered after the late one: its echo is dropped too.
            EXPECT_EQ(ReadEcho(*engine_), 0) << engine_->LastError();
            std::vector<std::string> expected = c.notes;
            expected.push_back(kEchoHex); // the read's own answer
            EXPECT_EQ(Values(), expected);
            EXPECT_EQ(bluez_->PendingCalls(), 0u);
        }
    }
}

// Without a reply, values held while the read was out go out after a
// bounded grace, once; the read's call is then dropped. Closing the
// control with a read's call kept ends cleanly.
TEST_F(BluezCancel, ValuesHeldForAReadThatNeverAnswersArriveAfterAGrace)
{
    for (Ending ending : {Ending::Timeout, Ending::Interrupt}) {
        SCOPED_TRACE(NameOf(ending));
        Mock("w.late_read('service0010/char0011', ['4e', '4f'], 'none')");
        End(ending);
        EXPECT_EQ(ReadEcho(*engine_), 301);
        Restore();
        events_.Clear();
        EXPECT_TRUE(PumpUntil([this] { return Values().size() >= 2 && bluez_->PendingCalls() == 0; }));
        EXPECT_EQ(Values(), (std::vector<std::string>{"4e", "4f"}));
        // The mock answers nothing for a minute: a new one for the next.
        Stop();
        Start();
    }
    Mock("w.late_read('service0010/char0011', ['4e'], 'echo')");
    End(Ending::Interrupt);
    EXPECT_EQ(ReadEcho(*engine_), 301);
    Restore();
    EXPECT_EQ(bluez_->PendingCalls(), 1u);
    Stop();
}

// bluetoothd carries out a subscription change nobody waits for any more:
// once its late reply says so, the change is undone, the values it brought
// are not raised, and the next change gets its own answer. A refused one
// has nothing to undo; a newer request made meanwhile decides.
TEST_F(BluezCancel, ALateSubscriptionChangeIsUndone)
{
    struct Case {
        const char* name;
        bool subscribe;                 // the late request
        bool cccd;                      // written to the CCCD, not by Subscribe/Unsubscribe
        const char* reply;              // its late reply: "ok" or "error"
        bool newer;                     // asked for again before the late reply
        std::vector<std::string> notes; // values just before the late reply
        const char* after;              // a value right after it, or none
        const char* calls;              // what bluetoothd was asked, in order
        bool notifying;                 // afterwards
        std::vector<std::string> raised;
    };
    const std::vector<Case> cases = {
        {"a subscription", true, false, "ok", false, {"4e"}, "4f", "StartNotify StopNotify", false, {}},
        {"an unsubscription", false, false, "ok", false, {}, "4f", "StopNotify StartNotify", true, {"4f"}},
        {"a refused subscription", true, false, "error", false, {}, nullptr, "StartNotify", false, {}},
        {"a refused unsubscription", false, false, "error", false, {}, nullptr, "StopNotify", true, {}},
        {"subscribed again", true, false, "ok", true, {"4e"}, "4f", "StartNotify StartNotify", true, {"4e", "4f"}},
        {"unsubscribed again", false, false, "ok", true, {}, nullptr, "StopNotify StopNotify", false, {}},
        {"a CCCD write of notify", true, true, "ok", false, {"4e"}, "4f", "StartNotify StopNotify", false, {}},
        {"a CCCD write of zero", false, true, "ok", false, {}, "4f", "StopNotify StartNotify", true, {"4f"}},
    };
    const std::string counter = "'service0010/char0015'";
    for (Ending ending : {Ending::Timeout, Ending::Interrupt}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + NameOf(ending));
            Prepare(true);
            Mock("w.update(" + counter + ", CHAR_IFACE, {'Notifying': False})");
            if (!c.subscribe) {
                ASSERT_EQ(Subscribe(*engine_), 0) << engine_->LastError();
            }
            const auto call =
                c.cccd ? (c.subscribe ? SubscribeByCccd : UnsubscribeByCccd) : (c.subscribe ? Subscribe : Unsubscribe);
            std::string notes;
            for (const std::string& note : c.notes)
                notes += "'" + note + "',";
            world_->Do("w.notify_calls(" + counter + ")");
            Mock("w.late_notify(" + counter + ", '" + (c.subscribe ? "StartNotify" : "StopNotify") + "', [" + notes +
                 "], '" + c.reply + "')");
            events_.Clear();
            End(ending);
            EXPECT_EQ(call(*engine_), 301);
            Restore();
            EXPECT_EQ(bluez_->PendingCalls(), 1u) << "the call is kept for its late reply";
            if (c.newer) {
                EXPECT_EQ(call(*engine_), 0) << engine_->LastError();
            }
            if (c.after)
                Mock("w.notify(" + counter + ", '" + c.after + "')");
            Settle();
            EXPECT_EQ(world_->Do("w.notify_calls(" + counter + ")"), c.calls);
            EXPECT_EQ(world_->Do("w.notifying(" + counter + ")"), c.notifying ? "True" : "False");
            EXPECT_EQ(Values(), c.raised);
            // The next change is answered, and values follow what it did.
            EXPECT_EQ((c.notifying ? Unsubscribe : Subscribe)(*engine_), 0) << engine_->LastError();
            EXPECT_EQ(world_->Do("w.notifying(" + counter + ")"), c.notifying ? "False" : "True");
            events_.Clear();
            Mock("w.notify(" + counter + ", '50')");
            if (!c.notifying) {
                EXPECT_TRUE(PumpUntil([this] { return !Values().empty(); }));
                EXPECT_EQ(Values(), std::vector<std::string>{"50"});
            }
        }
    }
}

// A subscription change that bluetoothd never answers is dropped after the
// grace, whatever it did; closing the control while such a call is kept
// ends cleanly.
TEST_F(BluezCancel, ASubscriptionChangeThatNeverAnswersIsDroppedAfterAGrace)
{
    for (const bool subscribe : {true, false}) {
        SCOPED_TRACE(subscribe ? "subscribe" : "unsubscribe");
        if (!subscribe) {
            ASSERT_EQ(Subscribe(*engine_), 0) << engine_->LastError();
        }
        Mock(std::string("w.late_notify('service0010/char0015', '") + (subscribe ? "StartNotify" : "StopNotify") +
             "', [], 'none')");
        End(Ending::Interrupt);
        EXPECT_EQ((subscribe ? Subscribe : Unsubscribe)(*engine_), 301);
        Restore();
        EXPECT_EQ(bluez_->PendingCalls(), 1u);
        EXPECT_TRUE(PumpUntil([this] { return bluez_->PendingCalls() == 0; }));
        // The mock answers nothing for a minute: a new one for the next.
        Stop();
        Start();
    }
    Mock("w.late_notify('service0010/char0015', 'StartNotify', [], 'ok')");
    End(Ending::Interrupt);
    EXPECT_EQ(Subscribe(*engine_), 301);
    Restore();
    EXPECT_EQ(bluez_->PendingCalls(), 1u);
    Stop();
}

} // namespace
} // namespace vornik::test
