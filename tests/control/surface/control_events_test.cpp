// The control over the simulated radio, through its C interface: byte
// values, events with by-reference arguments, re-entrant calls from event
// handlers and releasing the control inside an event.
#include "abi_helpers.h"

#include <gtest/gtest.h>

#include <poll.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

namespace vornik::test {
namespace {

// Object Ids of the demo peripheral (fixed by its attribute handles).
const std::string kServer = "00C0FFEE0001";
const std::string kDemoService = "000600000000";
const std::string kEcho = "000600080000";
const std::string kCounter = "0006000B0000";

struct Recorded {
    std::int32_t dispid;
    std::vector<std::string> texts;
    std::thread::id thread;
};

class SimControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("VORNIK220_RADIO", "sim", 1);
        ::setenv("VORNIK_SIM_MODULE", VORNIK_DEMO_MODULE, 1);
        control = std::make_unique<Control>();
        ASSERT_EQ(control->created(), VORNIK_S_OK) << lastError().description;
        ASSERT_EQ(vornik_advise(control->get(), &SimControl::sink, this), VORNIK_S_OK);
        ASSERT_EQ(control->call(VORNIK_DISPID_Connect, {str(kServer)}), VORNIK_S_OK) << lastError().description;
        ASSERT_EQ(control->call(VORNIK_DISPID_Discover, {str(""), str(""), boolean(true), str("")}), VORNIK_S_OK)
            << lastError().description;
        events.clear();
    }

    static void sink(void* context, std::int32_t dispid, vornik_variant* args, std::int32_t count)
    {
        auto* self = static_cast<SimControl*>(context);
        if (!EventAsTableSays(dispid, args, count))
            ADD_FAILURE() << "event " << dispid << " with " << count << " arguments not as the event table says";
        Recorded record{dispid, EventTexts(args, count), std::this_thread::get_id()};
        self->events.push_back(record);
        if (self->onEvent)
            self->onEvent(dispid, args, count);
    }

    std::vector<Recorded> eventsOf(std::int32_t dispid) const
    {
        std::vector<Recorded> out;
        for (const auto& e : events)
            if (e.dispid == dispid)
                out.push_back(e);
        return out;
    }

    std::string read(const std::string& characteristic)
    {
        Result value;
        if (control->call(VORNIK_DISPID_ReadValue, {str(kDemoService), str(characteristic), str("")}, &value.v) !=
            VORNIK_S_OK)
            return "!" + lastError().description;
        return value.text();
    }

    std::unique_ptr<Control> control;
    std::vector<Recorded> events;
    std::function<void(std::int32_t, vornik_variant*, std::int32_t)> onEvent;
};

TEST_F(SimControl, ByteValueSurvivesWriteAndReadUnderCodePageZero)
{
    // Bytes 00 80 81 8D 9D FF 41 00 in Windows-1252, as the host's UTF-8.
    const std::string value("\0\u20AC\u0081\u008D\u009D\u00FFA\0", 14);
    ASSERT_EQ(control->call(VORNIK_DISPID_WriteValue, {str(kDemoService), str(kEcho), str(""), str(value)}),
              VORNIK_S_OK)
        << lastError().description;
    std::string bytesInEvent;
    onEvent = [&](std::int32_t dispid, vornik_variant*, std::int32_t) {
        Result bytes;
        if (dispid == VORNIK_EVENT_Value && control->call(VORNIK_DISPID_ValueValueB, {}, &bytes.v) == VORNIK_S_OK &&
            bytes.v.type == VORNIK_VT_BYTES)
            bytesInEvent = bytes.text();
    };
    EXPECT_EQ(read(kEcho), value);
    EXPECT_EQ(bytesInEvent, std::string("\x00\x80\x81\x8D\x9D\xFF\x41\x00", 8));
}

TEST_F(SimControl, ByteArrayArgumentIsWrittenUntouchedAndUtf8CodePageConverts)
{
    vornik_variant raw{};
    raw.type = VORNIK_VT_BYTES;
    raw.data = const_cast<char*>("\xC3\xA4");
    raw.len = 2;
    ASSERT_EQ(control->call(VORNIK_DISPID_WriteValue, {str(kDemoService), str(kEcho), str(""), raw}), VORNIK_S_OK);
    EXPECT_EQ(read(kEcho), "\u00C3\u00A4"); // two bytes, two characters under Windows-1252
    EXPECT_EQ(control->config("CodePage=65001"), "");
    EXPECT_EQ(read(kEcho), "\u00E4"); // the same two bytes are one UTF-8 character
}

TEST_F(SimControl, EventsArriveOnTheCreatingThread)
{
    EXPECT_EQ(read(kEcho), "echo");
    const auto values = eventsOf(VORNIK_EVENT_Value);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].thread, std::this_thread::get_id());
    EXPECT_EQ(values[0].texts,
              (std::vector<std::string>{kDemoService, kEcho, "", "0000FFF1-0000-1000-8000-00805F9B34FB", "", "echo"}));
}

TEST_F(SimControl, NotificationsArriveThroughDoEventsOnTheDescriptor)
{
    ASSERT_EQ(control->call(VORNIK_DISPID_Subscribe, {str(kDemoService), str(kCounter)}), VORNIK_S_OK);
    ASSERT_EQ(eventsOf(VORNIK_EVENT_Subscribed).size(), 1u);
    const int fd = vornik_event_fd(control->get());
    ASSERT_GE(fd, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (eventsOf(VORNIK_EVENT_Value).empty() && std::chrono::steady_clock::now() < deadline) {
        pollfd watched{fd, POLLIN, 0};
        ::poll(&watched, 1, 100);
        ASSERT_EQ(vornik_do_events(control->get()), VORNIK_S_OK);
    }
    const auto values = eventsOf(VORNIK_EVENT_Value);
    ASSERT_FALSE(values.empty());
    EXPECT_EQ(values[0].texts[1], kCounter);
    EXPECT_EQ(values[0].texts[5].rfind("Count ", 0), 0u) << values[0].texts[5];
    EXPECT_EQ(values[0].thread, std::this_thread::get_id());
}

TEST_F(SimControl, WriteResponseHandlerMayReadInsideWriteValue)
{
    std::string readInside;
    onEvent = [&](std::int32_t dispid, vornik_variant*, std::int32_t) {
        if (dispid == VORNIK_EVENT_WriteResponse)
            readInside = read(kEcho);
    };
    ASSERT_EQ(control->call(VORNIK_DISPID_WriteValue, {str(kDemoService), str(kEcho), str(""), str("$quen00!")}),
              VORNIK_S_OK)
        << lastError().description;
    EXPECT_EQ(readInside, "$quen00!");
    ASSERT_EQ(eventsOf(VORNIK_EVENT_WriteResponse).size(), 1u);
    // The Value event of the nested read came inside the WriteResponse.
    std::vector<std::int32_t> order;
    for (const auto& e : events)
        if (e.dispid != VORNIK_EVENT_Log)
            order.push_back(e.dispid);
    EXPECT_EQ(order, (std::vector<std::int32_t>{VORNIK_EVENT_WriteResponse, VORNIK_EVENT_Value}));
}

TEST_F(SimControl, ReleasingInsideAnEventWaitsForTheCallToReturn)
{
    vornik_control* ctl = control->get();
    onEvent = [&](std::int32_t dispid, vornik_variant*, std::int32_t) {
        if (dispid == VORNIK_EVENT_Value) {
            EXPECT_EQ(vornik_release(ctl), 0u);
            EXPECT_EQ(vornik_do_events(ctl), VORNIK_RPC_E_DISCONNECTED);
        }
    };
    Result value;
    EXPECT_EQ(vornik_invoke(ctl, VORNIK_DISPID_ReadValue, VORNIK_INVOKE_METHOD,
                            std::vector<vornik_variant>{str(kDemoService), str(kEcho), str("")}.data(), 3, &value.v),
              VORNIK_S_OK);
    EXPECT_EQ(value.text(), "echo");
    EXPECT_EQ(DllCanUnloadNow(), VORNIK_S_OK); // deleted when the read returned
    control->forget();                         // already gone
}

TEST_F(SimControl, NotConnectedFailureAfterDisconnect)
{
    ASSERT_EQ(control->call(VORNIK_DISPID_Disconnect, {}), VORNIK_S_OK);
    EXPECT_EQ(read(kEcho), "!You must be connected to a server to perform the requested action.");
    EXPECT_EQ(lastError().number, 20606);
    EXPECT_EQ(lastError().helpContext, 44013);
}

TEST_F(SimControl, TreeAndPropertiesAfterDiscovery)
{
    const std::string tree = control->config("GattObjTreeInfo");
    EXPECT_NE(tree.find(">>0000FFF1-0000-1000-8000-00805F9B34FB [ID=000600080000"), std::string::npos) << tree;
    Result count;
    ASSERT_EQ(control->call(VORNIK_DISPID_ServiceCount, {}, &count.v), VORNIK_S_OK);
    EXPECT_EQ(count.v.i, 2);
    Result serverName;
    ASSERT_EQ(control->call(VORNIK_DISPID_ServerName, {}, &serverName.v), VORNIK_S_OK);
    EXPECT_EQ(serverName.text(), "Vornik Demo");
    ASSERT_EQ(control->put(VORNIK_DISPID_Service, {str(kDemoService)}), VORNIK_S_OK);
    Result id;
    ASSERT_EQ(control->call(VORNIK_DISPID_CharacteristicId, {i2(1)}, &id.v), VORNIK_S_OK);
    EXPECT_EQ(id.text(), kCounter);
    EXPECT_EQ(control->call(VORNIK_DISPID_CharacteristicId, {i2(2)}, &id.v), VORNIK_CTL_E_INVALIDPROPERTYARRAYINDEX);
}

// Timeout 0 means no limit: vornik_interrupt, from any thread, ends the
// wait of a discovery the slow demo peripheral never answers.
TEST_F(SimControl, InterruptFromAnotherThreadEndsAWaitWithoutLimit)
{
    ASSERT_EQ(control->call(VORNIK_DISPID_Connect, {str("00C0FFEE0002")}), VORNIK_S_OK) << lastError().description;
    ASSERT_EQ(control->put(VORNIK_DISPID_Timeout, {i2(0)}), VORNIK_S_OK);
    vornik_control* ctl = control->get();
    std::atomic<bool> returned{false};
    std::thread interrupter([&] {
        while (!returned) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            EXPECT_EQ(vornik_interrupt(ctl), VORNIK_S_OK);
        }
    });
    EXPECT_NE(control->call(VORNIK_DISPID_DiscoverServices, {str(""), str("")}), VORNIK_S_OK);
    returned = true;
    interrupter.join();
    EXPECT_EQ(lastError().number, 20302);
    EXPECT_EQ(lastError().description, "Interrupted.");
    EXPECT_EQ(vornik_interrupt(nullptr), VORNIK_E_POINTER);
}

} // namespace
} // namespace vornik::test
